// What the reference scenes share: the hash their frames are kept by, and
// the material and light they are shaded with.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/qf_engine.h"

inline uint64_t Fnv1a(const std::vector<unsigned char>& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

// Orange, a little transparent and self-lit, with a broad highlight.
inline material3ds ReferenceMaterial() {
  material3ds material{};
  material.diffuse[0] = 0.8f;
  material.diffuse[1] = 0.5f;
  material.diffuse[2] = 0.3f;
  material.specular[0] = material.specular[1] = material.specular[2] = 1.0f;
  material.shininess = 0.2f;
  material.shininessStrength = 0.6f;
  material.transparency = -0.2f;
  material.selfIllum = 0.1f;
  return material;
}

// A white light up and to the left, in front of the scene.
inline light3ds ReferenceLight() {
  light3ds light{};
  light.x = -300.0f;
  light.y = -200.0f;
  light.z = 600.0f;
  light.color[0] = light.color[1] = light.color[2] = 1.0f;
  light.intensity = 0.9f;
  return light;
}

// The per-pixel shader hook and the engine's own shader: material colours,
// texture stages, glass, lights with a specular highlight, and the channel
// helpers through which the engine reads and writes pixels of either depth.
#include <cmath>

#include "engine/glass.h"
#include "engine/pixel_shade.h"
#include "engine/qf_engine.h"
#include "engine/scene_state.h"
#include "engine/texture_stages.h"

namespace {

// The shader's stages, reached in this order: the reflection map is sampled
// first, then the colour, opacity and bump maps run, then the reflection is
// blended in; glass comes after the light check. A constant table, so that
// the calls through it compile to direct calls.
struct ShaderStages {
  bool (*sampleReflection)(const map3ds&, const __Texture&, const PixelShade&, float, float, float,
                           ReflectionSample&);
  void (*colourMap)(const map3ds&, const __Texture&, float, float, const __PrevInfo*, PixelShade&);
  void (*opacityMap)(const map3ds&, const __Texture&, float, float, const __PrevInfo*, PixelShade&);
  void (*bumpMap)(const map3ds&, const __Texture&, float, float, const __PrevInfo*, PixelShade&);
  void (*blendReflection)(const ReflectionSample&, PixelShade&);
  void (*glass)(const GlassProp&, PixelShade&, float, float, float, float, float,
                const unsigned char*, const __PrevInfo*, float, float, float, float);
};

constexpr ShaderStages kStages = {ShadeReflectionMap, ShadeColourMap,  ShadeOpacityMap,
                                  ShadeBumpMap,       BlendReflection, ShadeGlass};

// Texture slots of a material and the map record each slot reads.
enum Slot { kColourSlot, kOpacitySlot, kBumpSlot, kReflectionSlot, kSlotsPerMaterial };
enum MapPosition { kColourMap = 0, kOpacityMap = 2, kBumpMap = 3, kReflectionMap = 7 };

// Defaults of a pixel without a usable material: grey with a sharp white highlight.
constexpr float kDefaultDiffuse = 0.5f;
constexpr float kDefaultExponent = 150.0f;
constexpr float kDefaultStrength = 10.0f;

// A colour channel times the full channel value, clamped to 0 .. max_channel
// (a NaN, which no sane scene produces, stores as 0 too).
float ScaleChannel(float v, float max_channel) {
  v = v * max_channel;
  if (!(v >= 0.0f)) v = 0.0f;
  if (v > max_channel) v = max_channel;
  return v;
}

// The glass record of a pixel of the triangle: with no materials the first
// record serves, and an index outside the materials has none.
const GlassProp* GlassRecord(const __Triangle3ds* triangle, int material_count,
                             const GlassProp* glass) {
  if (material_count <= 0) return glass;
  if (triangle->material >= material_count || glass == nullptr) return nullptr;
  return glass + triangle->material;
}

}  // namespace

float __DefRenderOnePixel(float centre_x, float centre_y, unsigned char*, unsigned char* source,
                          float x, float y, float z, __Triangle3ds* triangle,
                          material3ds* materials, int material_count, float& r, float& g, float& b,
                          __Point* normal, unsigned char textures_on, float u, float v,
                          __Texture* textures, int light_count, light3ds* lights, __PrevInfo* prev,
                          GlassProp* glass, float plane_a, float plane_b, float plane_c,
                          float plane_d) {
  PixelShade pixel{
      {kDefaultDiffuse, kDefaultDiffuse, kDefaultDiffuse}, 1.0f, {normal->x, normal->y, normal->z}};
  float specular[3] = {1.0f, 1.0f, 1.0f};
  float exponent = kDefaultExponent;
  float strength = kDefaultStrength;
  float self_illum = 0.0f;

  // The back-face pass shades the faces' far side; a double-sided surface
  // always shows its near side.
  float* n = pixel.normal;
  if (_DrawBackFaces1 != 0) {
    n[0] = -n[0];
    n[1] = -n[1];
    n[2] = -n[2];
  }
  if (_DubleSide != 0 && n[2] < 0.0f) n[2] = -n[2];
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (length != 0.0f) {
    n[0] = n[0] / length;
    n[1] = n[1] / length;
    n[2] = n[2] / length;
  }

  const GlassProp* glass_record = GlassRecord(triangle, material_count, glass);
  ReflectionSample reflection{};
  bool reflected = false;
  if (material_count > 0 && triangle->material < material_count) {
    const int m = triangle->material;
    const material3ds& material = materials[m];
    float transparency = -material.transparency;
    if (transparency < 0.0f) transparency = 0.0f;
    if (transparency > 1.0f) transparency = 1.0f;
    pixel.opacity = 1.0f - transparency;
    for (int c = 0; c < 3; ++c) {
      pixel.diffuse[c] = material.diffuse[c];
      specular[c] = material.specular[c];
    }
    exponent = 100.0f * material.shininess;
    strength = material.shininessStrength;
    self_illum = material.selfIllum;

    if (textures != nullptr) {
      const __Texture* slots = textures + m * kSlotsPerMaterial;
      reflected = kStages.sampleReflection(material.maps[kReflectionMap], slots[kReflectionSlot],
                                           pixel, x, y, z, reflection);
      if (textures_on != 0) {
        kStages.colourMap(material.maps[kColourMap], slots[kColourSlot], u, v, prev, pixel);
        kStages.opacityMap(material.maps[kOpacityMap], slots[kOpacitySlot], u, v, prev, pixel);
        kStages.bumpMap(material.maps[kBumpMap], slots[kBumpSlot], u, v, prev, pixel);
      }
    }
  }
  if (reflected) kStages.blendReflection(reflection, pixel);

  if (light_count == 0) {
    if (__LightDef == nullptr) {
      r = g = b = 0.0f;
      return pixel.opacity;
    }
    lights = __LightDef;
    light_count = 1;
  }
  r = g = b = 0.0f;

  if (glass_record != nullptr && glass_record->enabled != 0)
    kStages.glass(*glass_record, pixel, centre_x, centre_y, x, y, z, source, prev, plane_a, plane_b,
                  plane_c, plane_d);

  // The highlight follows the diffuse term itself; every light adds the
  // self-illumination once.
  const float keep = 1.0f - self_illum;
  for (int i = 0; i < light_count; ++i) {
    const light3ds& light = lights[i];
    float lx = light.x - x;
    float ly = light.y - y;
    float lz = light.z - z;
    const float distance = std::sqrt(lx * lx + ly * ly + lz * lz);
    if (distance != 0.0f) {
      lx = lx / distance;
      ly = ly / distance;
      lz = lz / distance;
    }
    float d = light.intensity * (n[0] * lx + n[1] * ly + n[2] * lz);
    if (!(d > 0.0f)) d = 0.0f;
    // A light behind the surface gives d = +0, whose power is +0 for any
    // positive exponent: the call is left out for it.
    const float power = d == 0.0f && exponent > 0.0f ? 0.0f : std::pow(d, exponent);
    const float s = strength * power;
    const float e = d * keep + self_illum;
    r += (pixel.diffuse[0] * e + specular[0] * s) * light.color[0];
    g += (pixel.diffuse[1] * e + specular[1] * s) * light.color[1];
    b += (pixel.diffuse[2] * e + specular[2] * s) * light.color[2];
  }

  const float max_channel = static_cast<float>(__MaxChannel);
  r = ScaleChannel(r, max_channel);
  g = ScaleChannel(g, max_channel);
  b = ScaleChannel(b, max_channel);
  return pixel.opacity;
}

bool OwnShaderWritesNothing() {
  return __RenderOnePixel == __DefRenderOnePixel && !GlassReadsLayers();
}

double DefaultShaderReach(const __Triangle3ds* triangle, int material_count,
                          const GlassProp* glass) {
  // Everything else the shader does ends in its result and the colour it
  // writes, which a caller only uses inside the frame.
  const GlassProp* record = GlassRecord(triangle, material_count, glass);
  return record != nullptr ? GlassReach(*record) : 0.0;
}

__RenderOnePixelFn __RenderOnePixel = __DefRenderOnePixel;

void __SetDefRenderOnePixel() { __RenderOnePixel = __DefRenderOnePixel; }

// The fillers call the hook unconditionally, so a null shader puts the
// engine's own back rather than leaving nothing to call.
void __SetNewRenderOnePixel(__RenderOnePixelFn fn) {
  __RenderOnePixel = fn != nullptr ? fn : __DefRenderOnePixel;
}

uint32_t __GetChannel(const unsigned char* buffer, int index) {
  return ChannelAt(buffer, index, _Deep != 0);
}

void __SetChannel(unsigned char* buffer, int index, uint32_t value) {
  SetChannelAt(buffer, index, value, _Deep != 0);
}

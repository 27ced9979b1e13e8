// The engine's public interface: the records a caller hands a triangle scene
// in, and the functions and switches each deliverable exports by name.
#pragma once

#include <cstdint>

#pragma pack(push, 4)

// One vertex; the triangles index an array of them.
struct __Point3ds {
    float x, y, z;  // pixels about the scene centre; larger z is nearer
    uint8_t hasTexture;  // 1 when u and v are valid
    float u, v;
    uint8_t hasNormal;  // 1 when the normal is set
    float nx, ny, nz;
};
static_assert(sizeof(__Point3ds) == 40, "vertex record layout");

struct __Triangle3ds {
    int32_t a, b, c;  // vertex indices
    uint16_t reserved;
    uint16_t material;  // material, glass and texture-slot index
};
static_assert(sizeof(__Triangle3ds) == 16, "triangle record layout");

#pragma pack(pop)

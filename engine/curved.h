// The draws over the curved surface of a triangle: the curved fill (mode 9),
// the subdivided fill (mode 8), the curved wire (mode 2) and the silhouette
// (mode 10). A triangle with a vertex normal of length 0 draws nothing in any
// of them.
#pragma once

#include <cstdint>

#include "engine/qf_engine.h"

// Samples the patch about twice per pixel along the edges at V2, keeps each
// sample by depth and shades it through __RenderOnePixel.
void __FillTriangleCurved(unsigned char* target, unsigned char* source, int width, int height,
                          __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                          int material_count, material3ds* materials, __Texture* textures,
                          int light_count, light3ds* lights, GlassProp* glass);

// Splits the triangle once at its curved edge midpoints and fills each facing
// part with __SetupTrianglePhong.
void __SubdivideTriangleCurved(unsigned char* target, unsigned char* source, int width, int height,
                               __Texture* textures, material3ds* materials, int material_count,
                               __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                               int light_count, light3ds* lights, GlassProp* glass);

// The three curved edges as chains of shaded lines of width _WireSize.
void __DrawTriangleCurvedWire(unsigned char* target, unsigned char* source, int width, int height,
                              __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                              int material_count, material3ds* materials, __Texture* textures,
                              int light_count, light3ds* lights, GlassProp* glass);
// Edge 0 runs V2 -> V1, edge 1 V2 -> V0, any other number V0 -> V1.
void __DrawCurvedEdge(uint8_t edge, unsigned char* target, unsigned char* source, int width,
                      int height, __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                      int material_count, material3ds* materials, __Texture* textures,
                      int light_count, light3ds* lights, GlassProp* glass);

// Where the surface faces the viewer the source pixel is put back; where it
// turns away, dots of the material's diffuse colour peak at a grazing angle.
void __DrawTriangleSilhouette(unsigned char* target, unsigned char* source, int width, int height,
                              __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                              int material_count, material3ds* materials, __Texture* textures,
                              int light_count, light3ds* lights, GlassProp* glass);

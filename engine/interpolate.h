// Per-pixel interpolation over a triangle: vertex normals and texture
// coordinates by barycentric weights.
#pragma once

#include "engine/qf_engine.h"

// The pixel's normal by barycentric weights over the three vertex copies, and
// its texture coordinates when textures is set. S and P hold x0, x1, x2, y0,
// y1, y2 of the vertices and of the un-projected vertices; M the mid-edge
// normals of edges 0-1, 1-2 and 2-0.
void __InterpNormalPersp(__Point* normal, const __Point3ds* vertices, float x, float y, float z,
                         const float* S, float area_s, const float* P, float area_p,
                         unsigned char textures, float* u, float* v, const float* M, float cx,
                         float cy);

// The three vertex normals scaled to unit length (a zero normal stays zero),
// as __InterpNormalPersp blends them: the same for every pixel of a triangle.
void UnitVertexNormals(const __Point3ds* vertices, float N[3][3]);

// __InterpNormalPersp over normals N already made by UnitVertexNormals.
void InterpUnitNormal(__Point* normal, const float N[3][3], const __Point3ds* vertices, float x,
                      float y, float z, const float* S, float area_s, const float* P, float area_p,
                      unsigned char textures, float* u, float* v, const float* M, float cx,
                      float cy);

// __InterpNormalPersp's texture coordinates alone.
void __InterpTexCoords(__Point* normal, const __Point3ds* vertices, float x, float y, float z,
                       const float* S, float area_s, const float* P, float area_p,
                       unsigned char textures, float* u, float* v, const float* M, float cx,
                       float cy);

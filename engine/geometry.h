// Geometry of triangles and points: face and plane normals, the foot of a
// line on a plane, distances, determinants.
#pragma once

#include "engine/qf_engine.h"

// (Pc - Pb) x (Pa - Pb), not normalised; z >= 0 faces the viewer.
void __FaceNormal(const __Triangle3ds* triangle, const __Point3ds* vertices, float* nx, float* ny,
                  float* nz);

// (V0 - V1) x (V2 - V1) of three consecutive vertices: the plane normal.
void __TriangleNormal(const __Point3ds* vertices, float* nx, float* ny, float* nz);

// Where the line through P with direction n meets the plane n.X + d = 0.
void __LinePlaneIntersect(float px, float py, float pz, float nx, float ny, float nz, float* ox,
                          float* oy, float* oz, float nx2, float ny2, float nz2, float d);

double __Distance3(float x1, float y1, float z1, float x2, float y2, float z2);

// Determinant of a 3 x 3 matrix given row by row.
float __Det3(const float* m);

// The depth test of a pixel against a triangle's plane.
#pragma once

#include "engine/qf_engine.h"

// Depth test of pixel (x, y) against the plane a*X + b*Y + c*Z + d = 0 and
// ZBuff; a visible pixel's depth replaces the entry, whose old value is handed back.
bool __ZTestPlane(unsigned char unused, float x, float y, float d, float b, float a, float c,
                  const __Point3ds* fallback, float* depth, int cx, int cy, int* index,
                  float* old_depth);

// The depth of image point (x, y) on the plane a*x + b*y + c*z + d = 0, or
// the fallback vertex's depth when the plane is seen edge-on; what
// __ZTestPlane tests.
float PlaneDepth(float x, float y, float d, float b, float a, float c, const __Point3ds* fallback);

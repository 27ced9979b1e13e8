// The inverse of the perspective warp.
#pragma once

// Un-projects a point warped by __AddPersp.
void __ProjectPersp(float x, float y, float z, float* px, float* py);

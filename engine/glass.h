// The default shader's glass stage: the image behind the relief, read at a
// position shifted along the pixel's normal by a different distance for red,
// green and blue (chromatic aberration), replaces the diffuse colour, which
// survives as a tint around mid-grey.
#pragma once

#include "engine/pixel_shade.h"
#include "engine/qf_engine.h"

// Refracts for the pixel at (px, py, pz) about the centre (centre_x, centre_y):
// sets the diffuse colour and may lower the opacity. source is the scene's
// source image, prev the neighbouring pixel or null, plane the triangle's
// plane in image coordinates. In the layered case it also updates
// __BackImage and __BackZBuff.
void ShadeGlass(const GlassProp& glass, PixelShade& pixel, float centre_x, float centre_y, float px,
                float py, float pz, const unsigned char* source, const __PrevInfo* prev,
                float plane_a, float plane_b, float plane_c, float plane_d);

// How far outside the frame a pixel shaded without a neighbouring pixel may
// lie and still change anything through this glass record in the current
// pass: 0 unless the layers behind are in use, which its samples update;
// HUGE_VAL when no distance bounds it.
double GlassReach(const GlassProp& glass);

// Whether the glass of the current pass reads the layers behind, which it
// also writes (__BackImage, __BackZBuff), rather than the source or the
// back faces' image, which it only reads.
bool GlassReadsLayers();

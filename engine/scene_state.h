// Engine state shared by the scene calls, the shader and the pixel helpers
// that is not part of the exported interface.
#pragma once

#include <cstdint>

#include "engine/qf_engine.h"

// The caller's default light (__SetLightDef), or null for the built-in one.
extern light3ds* __LightDef;

// The shader hook and the engine's own shader.
extern __RenderOnePixelFn __RenderOnePixel;
float __DefRenderOnePixel(float centre_x, float centre_y, unsigned char* image,
                          unsigned char* source, float x, float y, float z, __Triangle3ds* triangle,
                          material3ds* materials, int material_count, float& r, float& g, float& b,
                          __Point* normal, unsigned char textures_on, float u, float v,
                          __Texture* textures, int light_count, light3ds* lights, __PrevInfo* prev,
                          GlassProp* glass, float plane_a, float plane_b, float plane_c,
                          float plane_d);
// Whether the shader installed is the engine's own and changes nothing but
// the colour and opacity it returns: its glass writes no layer. Then a pixel
// whose coverage comes out 0 need not be shaded at all.
bool OwnShaderWritesNothing();
// How far outside the frame a pixel of the triangle that __DefRenderOnePixel
// shades without a neighbouring pixel may lie and still change anything
// (HUGE_VAL when no distance bounds it): the colour and opacity it returns
// are drawn only inside the frame.
double DefaultShaderReach(const __Triangle3ds* triangle, int material_count,
                          const GlassProp* glass);

// Frame of the current scene: its stride in channel values (four a pixel)
// and the full channel value, 255 for 8-bit and 32768 for 16-bit images.
extern int __RowBytes;
extern int __MaxChannel;

// Images of the current scene call, for the shader's glass: the output
// image, the image behind the scene (the source, replaced by the output after
// a back-face pass) and a second depth buffer of the frame's size.
extern unsigned char* __OutImage;
extern unsigned char* __BackImage;
extern float* __BackZBuff;

// Channel value number index of an image of the current depth (_Deep): a
// 16-bit element when _Deep is 1, an 8-bit element otherwise.
uint32_t __GetChannel(const unsigned char* buffer, int index);
void __SetChannel(unsigned char* buffer, int index, uint32_t value);

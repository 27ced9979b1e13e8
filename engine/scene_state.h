// Engine state shared by the scene calls, the shader and the pixel helpers
// that is not part of the exported interface.
#pragma once

#include "engine/qf_engine.h"

// The caller's default light (__SetLightDef), or null for the built-in one.
extern light3ds* __LightDef;

// The shader hook and the engine's own shader.
extern __RenderOnePixelFn __RenderOnePixel;
float __DefRenderOnePixel(float centreX, float centreY, unsigned char* image, unsigned char* source,
                          float x, float y, float z, __Triangle3ds* triangle,
                          material3ds* materials, int materialCount, float& r, float& g, float& b,
                          __Point* normal, unsigned char texturesOn, float u, float v,
                          __Texture* textures, int lightCount, light3ds* lights,
                          __PrevInfo* prev, GlassProp* glass, float planeA, float planeB,
                          float planeC, float planeD);

// Frame of the current scene: its stride in channel values (four a pixel)
// and the full channel value, 255 for 8-bit and 32768 for 16-bit images.
extern int __RowBytes;
extern int __MaxChannel;

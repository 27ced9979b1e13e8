// The default shader's texture stages for one material. Each reads one
// __Texture slot with the settings of one map record: the colour map (slot 0,
// record 0), the opacity map (slot 1, record 2), the bump map (slot 2,
// record 3) and the reflection map (slot 3, record 7). A stage whose slot is
// not loaded, or holds no texel, leaves the pixel as it is.
#pragma once

#include "engine/pixel_shade.h"
#include "engine/qf_engine.h"

// The reflection colour (0 to 1) and its amount, sampled before the other
// maps and blended into the diffuse colour after them.
struct ReflectionSample {
  float colour[3];
  float amount;
};

// Samples the reflection map where the view reflected about the pixel's
// normal leaves a box of half size Zwidth around the scene; (px, py, pz) is
// the shaded point. False when nothing was sampled.
bool ShadeReflectionMap(const map3ds& map, const __Texture& texture, const PixelShade& pixel,
                        float px, float py, float pz, ReflectionSample& sample);

// Blends the texture colour into the diffuse colour by its alpha and the map's amount.
void ShadeColourMap(const map3ds& map, const __Texture& texture, float u, float v,
                    const __PrevInfo* prev, PixelShade& pixel);

// Blends the texture's brightest colour channel into the opacity.
void ShadeOpacityMap(const map3ds& map, const __Texture& texture, float u, float v,
                     const __PrevInfo* prev, PixelShade& pixel);

// Bends the normal's x and y along the texture's brightness gradient.
void ShadeBumpMap(const map3ds& map, const __Texture& texture, float u, float v,
                  const __PrevInfo* prev, PixelShade& pixel);

void BlendReflection(const ReflectionSample& sample, PixelShade& pixel);

// A pixel shader that shades as the engine's own does and counts the pixels
// it shades, for the benchmarks' shaded-pixel counts.
#pragma once

#include "engine/qf_engine.h"

namespace qfbench {

// Pixels shaded since the count was last set to 0.
inline long g_shaded = 0;

inline float CountingShader(float a1, float a2, unsigned char* a3, unsigned char* a4, float a5,
                            float a6, float a7, __Triangle3ds* a8, material3ds* a9, int a10,
                            float& r, float& g, float& b, __Point* a14, unsigned char a15,
                            float a16, float a17, __Texture* a18, int a19, light3ds* a20,
                            __PrevInfo* a21, GlassProp* a22, float a23, float a24, float a25,
                            float a26) {
  ++g_shaded;
  return __DefRenderOnePixel(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, r, g, b, a14, a15, a16, a17,
                             a18, a19, a20, a21, a22, a23, a24, a25, a26);
}

}  // namespace qfbench

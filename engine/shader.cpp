// The per-pixel shader hook: every shading filler asks the function it holds
// for a pixel's colour and opacity.
#include "engine/qf_engine.h"
#include "engine/scene_state.h"

// Until the lighting stages arrive the engine's own shader paints black at
// full opacity.
float __DefRenderOnePixel(float, float, unsigned char*, unsigned char*, float, float, float,
                          __Triangle3ds*, material3ds*, int, float& r, float& g, float& b,
                          __Point*, unsigned char, float, float, __Texture*, int, light3ds*,
                          __PrevInfo*, GlassProp*, float, float, float, float) {
    r = 0.0f;
    g = 0.0f;
    b = 0.0f;
    return 1.0f;
}

__RenderOnePixelFn __RenderOnePixel = __DefRenderOnePixel;

void __SetDefRenderOnePixel() { __RenderOnePixel = __DefRenderOnePixel; }

void __SetNewRenderOnePixel(__RenderOnePixelFn fn) { __RenderOnePixel = fn; }

uint32_t __GetChannel(const unsigned char* buffer, int index) {
    if (_Deep != 0) return reinterpret_cast<const uint16_t*>(buffer)[index];
    return buffer[index];
}

void __SetChannel(unsigned char* buffer, int index, uint32_t value) {
    if (_Deep != 0)
        reinterpret_cast<uint16_t*>(buffer)[index] = static_cast<uint16_t>(value);
    else
        buffer[index] = static_cast<uint8_t>(value);
}

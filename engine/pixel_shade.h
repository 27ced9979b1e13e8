// The state of one pixel that the default shader's stages hand on to each
// other, and the channel access that those stages use per texel and per
// image sample.
#pragma once

#include <cstdint>

// Diffuse colour and opacity (0 to 1) and the normal of the pixel being shaded.
struct PixelShade {
  float diffuse[3];  // red, green, blue
  float opacity;
  float normal[3];  // x, y, z
};

// Channel value number index of a buffer: a 16-bit element when deep, an
// 8-bit element otherwise. The same rule as __GetChannel and __SetChannel with
// deep = (_Deep != 0), inline because the stages read many values a pixel.
inline uint32_t ChannelAt(const unsigned char* buffer, int index, bool deep) {
  if (deep) return reinterpret_cast<const uint16_t*>(buffer)[index];
  return buffer[index];
}

inline void SetChannelAt(unsigned char* buffer, int index, uint32_t value, bool deep) {
  if (deep)
    reinterpret_cast<uint16_t*>(buffer)[index] = static_cast<uint16_t>(value);
  else
    buffer[index] = static_cast<uint8_t>(value);
}

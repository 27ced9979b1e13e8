// Depth conversions of pixel and texel buffers between 8-bit channels (full
// value 255) and 16-bit channels (full value 32768).
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "engine/qf_engine.h"

namespace {

unsigned char* TakePages(size_t bytes) {
  return static_cast<unsigned char*>(
      VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

}  // namespace

void __ConvertBYTE16TO8(unsigned char** buffer, int, int rows, int values_per_row) {
  const size_t n = static_cast<size_t>(rows) * static_cast<size_t>(values_per_row);
  unsigned char* converted = TakePages(n);
  if (converted == nullptr) return;  // no pages: the buffer stays as it is
  const uint16_t* from = reinterpret_cast<const uint16_t*>(*buffer);
  for (size_t i = 0; i + 4 <= n; i += 4)
    for (size_t k = i; k < i + 4; ++k)
      converted[k] = static_cast<unsigned char>((uint32_t{from[k]} * 255u + 16384u) >> 15);
  VirtualFree(*buffer, 0, MEM_RELEASE);
  *buffer = converted;
}

void __ConvertBYTE8TO16(unsigned char** buffer, int, int rows, int values_per_row) {
  const size_t n = static_cast<size_t>(rows) * static_cast<size_t>(values_per_row);
  unsigned char* converted = TakePages(2 * n);
  if (converted == nullptr) return;
  const unsigned char* from = *buffer;
  uint16_t* to = reinterpret_cast<uint16_t*>(converted);
  for (size_t i = 0; i + 4 <= n; i += 4)
    for (size_t k = i; k < i + 4; ++k)
      to[k] = static_cast<uint16_t>((uint32_t{from[k]} * 32768u + 128u) / 255u);
  VirtualFree(*buffer, 0, MEM_RELEASE);
  *buffer = converted;
}

void __ConvertText(__Texture* texture) {
  if (texture->loaded == 0) return;
  if (_Deep != 0 && texture->is16Bit == 0) {
    __ConvertBYTE8TO16(&texture->pixels, texture->width, texture->height, texture->width * 4);
    texture->is16Bit = 1;
  } else if (_Deep == 0 && texture->is16Bit != 0) {
    __ConvertBYTE16TO8(&texture->pixels, texture->width, texture->height, texture->width * 4);
    texture->is16Bit = 0;
  }
}

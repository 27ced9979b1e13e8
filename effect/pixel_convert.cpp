#include "effect/pixel_convert.h"

#include <cstddef>
#include <cstring>

#include "engine/bands.h"
#include "engine/page_array.h"
#include "engine/qf_engine.h"

namespace {

// Takes a zero-filled target of the given number of channels when the caller
// gave none; returns false when there is no target to write into.
bool EnsureTarget(uint8_t** target, int64_t channels, bool deep) {
  if (*target) return true;
  const int64_t bytes = channels * (deep ? 2 : 1);
  if (bytes <= 0) return false;
  *target = AllocatePageArray<uint8_t>(static_cast<size_t>(bytes)).release();
  return *target != nullptr;
}

// Bytes of a row of width pixels.
size_t PixelRowBytes(int32_t width, size_t channel_bytes) {
  return width > 0 ? size_t(width) * 4 * channel_bytes : 0;
}

// One pass over the pixels, its rows shared among the worker threads:
// destination channel k of a pixel takes source channel Ck of the same pixel.
template <typename Channel, int C0, int C1, int C2, int C3>
void Reorder(Channel* destination, const Channel* source, int32_t width, int32_t height,
             int32_t destination_row_length, int32_t source_row_length) {
  SplitRows(height, PixelRowBytes(width, sizeof(Channel)), [&](int first, int end) {
    ptrdiff_t destination_row = ptrdiff_t(first) * destination_row_length;
    ptrdiff_t source_row = ptrdiff_t(first) * source_row_length;
    for (int32_t y = first; y < end; ++y) {
      Channel* d = destination + destination_row;
      const Channel* s = source + source_row;
      for (int32_t x = 0; x < width; ++x, d += 4, s += 4) {
        d[0] = s[C0];
        d[1] = s[C1];
        d[2] = s[C2];
        d[3] = s[C3];
      }
      destination_row += destination_row_length;
      source_row += source_row_length;
    }
  });
}

template <int C0, int C1, int C2, int C3>
void ReorderAtDepth(bool deep, uint8_t* destination, const void* source, int32_t width,
                    int32_t height, int32_t destination_row_length, int32_t source_row_length) {
  if (deep) {
    Reorder<uint16_t, C0, C1, C2, C3>(reinterpret_cast<uint16_t*>(destination),
                                      static_cast<const uint16_t*>(source), width, height,
                                      destination_row_length, source_row_length);
  } else {
    Reorder<uint8_t, C0, C1, C2, C3>(destination, static_cast<const uint8_t*>(source), width,
                                     height, destination_row_length, source_row_length);
  }
}

}  // namespace

void ConvertToEngineOrder(uint8_t** target, const void* host, int32_t width, int32_t height,
                          int32_t host_row_length) {
  const bool deep = __GetDeep() != 0;
  if (!EnsureTarget(target, int64_t{height} * host_row_length, deep)) return;
  ReorderAtDepth<1, 2, 3, 0>(deep, *target, host, width, height, 4 * width, host_row_length);
}

void ConvertToHostOrder(uint8_t** target, const void* engine, int32_t width, int32_t height,
                        int32_t host_row_length) {
  const bool deep = __GetDeep() != 0;
  if (!EnsureTarget(target, int64_t{height} * host_row_length, deep)) return;
  ReorderAtDepth<3, 0, 1, 2>(deep, *target, engine, width, height, host_row_length, 4 * width);
}

void ConvertTextureOrder(uint8_t** target, const void* source, int32_t width, int32_t height,
                         int32_t source_row_length) {
  ConvertTextureOrderAtDepth(target, source, width, height, source_row_length, __GetDeep() != 0);
}

void ConvertTextureOrderAtDepth(uint8_t** target, const void* source, int32_t width, int32_t height,
                                int32_t source_row_length, bool deep) {
  if (!EnsureTarget(target, int64_t{width} * height * 4, deep)) return;
  ReorderAtDepth<3, 2, 1, 0>(deep, *target, source, width, height, 4 * width, source_row_length);
}

void CopyPixelRows(void* destination, const void* source, int32_t width, int32_t height,
                   int32_t destination_row_length, int32_t source_row_length, bool deep) {
  if (width <= 0) return;
  const size_t channel_bytes = deep ? 2 : 1;
  const size_t row_bytes = PixelRowBytes(width, channel_bytes);
  uint8_t* d = static_cast<uint8_t*>(destination);
  const uint8_t* s = static_cast<const uint8_t*>(source);
  const ptrdiff_t destination_step = ptrdiff_t(destination_row_length) * ptrdiff_t(channel_bytes);
  const ptrdiff_t source_step = ptrdiff_t(source_row_length) * ptrdiff_t(channel_bytes);
  SplitRows(height, row_bytes, [&](int first, int end) {
    for (int32_t y = first; y < end; ++y)
      std::memcpy(d + y * destination_step, s + y * source_step, row_bytes);
  });
}

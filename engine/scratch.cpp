#include "engine/scratch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/bands.h"
#include "engine/qf_engine.h"
#include "engine/scene_state.h"

unsigned char* __ScratchLayer = nullptr;
unsigned char* __MergeLast = nullptr;
unsigned char* __MergeUnder = nullptr;

namespace {

struct Rect {
  int x0, y0, x1, y1;
};

// The part of the rectangle in the frame, within the rows this thread draws.
Rect ClipToFrame(int x0, int y0, int x1, int y1) {
  const RowSpan rows = DrawableRows();
  return {std::max(x0, 0), std::max(y0, rows.first), std::min(x1, Zwidth), std::min(y1, rows.end)};
}

ptrdiff_t ValueIndex(int x, int y) {
  return static_cast<ptrdiff_t>(y) * __RowBytes + 4 * static_cast<ptrdiff_t>(x);
}

// The largest colour difference below which a partly covering triangle
// counts as the same surface as the last one; 16-bit differences are counted
// in 256ths, not in steps of 32768 / 255.
constexpr unsigned kSimilarLimit = 20;

// One pixel of the merge. s, o, l and u are the pixel's four channel values
// in the scratch layer, the output, the last-triangle and the under-colour images.
template <typename Channel>
void MergePixel(const Channel* s, Channel* o, Channel* l, Channel* u, unsigned max_channel,
                unsigned difference_unit) {
  unsigned a = s[3];
  if (a == 0) return;
  if (a == max_channel) {
    for (int k = 0; k < 3; ++k) o[k] = u[k] = l[k] = s[k];
    o[3] = static_cast<Channel>(max_channel);
    return;
  }
  if (o[3] == 0) {
    for (int k = 0; k < 3; ++k) o[k] = s[k];
    o[3] = static_cast<Channel>(a);
    return;
  }

  bool similar = false;
  if (l[3] != 0) {
    unsigned d = 0;
    for (int k = 0; k < 3; ++k) {
      const unsigned lk = l[k], sk = s[k];
      d = std::max(d, lk > sk ? lk - sk : sk - lk);
    }
    similar = d / difference_unit < kSimilarLimit;
  }
  Channel base[3];  // the colour the triangle is blended over
  if (similar) {
    // The same surface as the last partial triangle: blend over what lay
    // under that one, with the larger of the two coverages.
    for (int k = 0; k < 3; ++k) base[k] = u[k];
    if (a > l[3])
      l[3] = static_cast<Channel>(a);
    else
      a = l[3];
  } else {
    for (int k = 0; k < 3; ++k) {
      base[k] = o[k];
      u[k] = o[k];
      l[k] = s[k];
    }
    l[3] = static_cast<Channel>(a);
  }

  const float max_f = static_cast<float>(max_channel);
  const float f = static_cast<float>(a) / max_f;
  for (int k = 0; k < 3; ++k) {
    const float c = static_cast<float>(s[k]) * f + static_cast<float>(base[k]) * (1.0f - f);
    o[k] = static_cast<Channel>(std::min(std::max(c, 0.0f), max_f));
  }
  if (a > o[3]) o[3] = static_cast<Channel>(a);
}

template <typename Channel>
void MergeRect(unsigned char* out, const Rect& r, unsigned difference_unit) {
  const Channel* scratch = reinterpret_cast<const Channel*>(__ScratchLayer);
  Channel* output = reinterpret_cast<Channel*>(out);
  Channel* last = reinterpret_cast<Channel*>(__MergeLast);
  Channel* under = reinterpret_cast<Channel*>(__MergeUnder);
  const unsigned max_channel = static_cast<unsigned>(__MaxChannel);
  for (int y = r.y0; y < r.y1; ++y)
    for (ptrdiff_t i = ValueIndex(r.x0, y), end = ValueIndex(r.x1, y); i < end; i += 4)
      MergePixel(scratch + i, output + i, last + i, under + i, max_channel, difference_unit);
}

}  // namespace

void __ClearScratchRect(int x0, int y0, int x1, int y1) {
  const Rect r = ClipToFrame(x0, y0, x1, y1);
  if (r.x0 >= r.x1) return;
  const size_t value_bytes = _Deep != 0 ? 2 : 1;
  const size_t row_bytes = 4 * static_cast<size_t>(r.x1 - r.x0) * value_bytes;
  for (int y = r.y0; y < r.y1; ++y)
    std::memset(__ScratchLayer + ValueIndex(r.x0, y) * value_bytes, 0, row_bytes);
}

void __MergeScratchRect(unsigned char* out, int x0, int y0, int x1, int y1) {
  const Rect r = ClipToFrame(x0, y0, x1, y1);
  if (_Deep != 0)
    MergeRect<uint16_t>(out, r, 256);
  else
    MergeRect<uint8_t>(out, r, 1);
}

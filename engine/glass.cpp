#include "engine/glass.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/scene_state.h"

namespace {

// A footprint holds at most this many samples along each axis.
constexpr int kFootprintCap = 5;
// Layers of glass closer in depth than this count as one surface.
constexpr float kSameSurfaceDepth = 30.0f;
// __BackZBuff entries at or below this are empty (never written).
constexpr float kEmptyDepth = -1e37f;

// What the image behind a pixel is, for the whole pixel.
enum class Behind {
  // Front pass after a back-face pass: the back faces' image where it was
  // drawn, blended by this pass's coverage over the source.
  BackFacesOverSource,
  // The source image alone.
  Source,
  // The second layer __BackImage with its own depth buffer, which glass
  // surfaces update as they are crossed.
  Layers,
};

Behind BehindOfPass() {
  if (_DrawBackFaces != 0 && _DrawBackFaces1 == 0) return Behind::BackFacesOverSource;
  if (_UseMultyRefract == 0) return Behind::Source;
  return Behind::Layers;
}

// The frame's images and size.
struct Frame {
  const unsigned char* source;
  const unsigned char* out;
  unsigned char* back;
  float* backDepth;
  int stride, width, height;
  // The width and height as floats: a sample position lies in the image
  // when it is above -1 and below these.
  float columnEnd, rowEnd;
  uint32_t full;
  float maxChannel;
  bool deep;
};

Frame CurrentFrame(const unsigned char* source) {
  Frame f;
  f.source = source;
  f.out = __OutImage;
  f.back = __BackImage;
  f.backDepth = __BackZBuff;
  f.stride = __RowBytes;
  f.width = Zwidth;
  f.height = Zheight;
  f.columnEnd = static_cast<float>(f.width);
  f.rowEnd = static_cast<float>(f.height);
  f.full = static_cast<uint32_t>(__MaxChannel);
  f.maxChannel = static_cast<float>(__MaxChannel);
  f.deep = _Deep != 0;
  return f;
}

// The truncated sample position p when it lies in 0 .. end - 1 (end being
// the width or height), else fallback (the pixel's own column or row, or -1
// when that lies outside too). A position that is not finite lies outside.
int Inside(float p, int fallback, float end) {
  return p > -1.0f && p < end ? static_cast<int>(p) : fallback;
}

// The samples of one channel's footprint: nx columns from x0 by step_x and ny
// rows from y0 by step_y. A sample outside the image reads at the pixel's own
// column or row instead, and is left out when that lies outside too. Both
// hold per axis, so every row kept reads the same columns, kept once here.
struct Footprint {
  int columns[kFootprintCap];
  int columnCount = 0;
  float y0, stepY;
  int ny, ownY;
  float rowEnd;

  Footprint(const Frame& f, float x0, float y0, float step_x, float step_y, int nx, int ny,
            int own_x, int own_y)
      : y0(y0), stepY(step_y), ny(ny), ownY(own_y), rowEnd(f.rowEnd) {
    float x = x0;
    for (int s = 0; s < nx; ++s, x += step_x) {
      const int X = Inside(x, own_x, f.columnEnd);
      if (X >= 0) columns[columnCount++] = X;
    }
  }

  // Calls visit(Y) for each row kept, in order; gives how many there were.
  template <class Visit>
  int Rows(Visit&& visit) const {
    int kept = 0;
    float y = y0;
    for (int r = 0; r < ny; ++r, y += stepY) {
      const int Y = Inside(y, ownY, rowEnd);
      if (Y < 0) continue;
      ++kept;
      visit(Y);
    }
    return kept;
  }

  // The sum of read(X, Y) over the samples, row by row, counting them in count.
  template <class Read>
  float Sum(int& count, Read&& read) const {
    float sum = 0.0f;
    count = columnCount * Rows([&](int Y) {
              for (int c = 0; c < columnCount; ++c) sum += read(columns[c], Y);
            });
    return sum;
  }
};

// The source alone, of channel type T (8 or 16 bits).
template <class T>
struct SourceBehind {
  const T* source;
  int stride;

  explicit SourceBehind(const Frame& f)
      : source(reinterpret_cast<const T*>(f.source)), stride(f.stride) {}

  float At(int j, int X, int Y, float) const {
    return static_cast<float>(source[4 * X + Y * stride + j]);
  }

  // At most 25 channel values below 2^16: every partial float sum is a
  // whole number below 2^24, exact, so the integer sum, in any order, gives
  // the same value.
  float Sum(const Footprint& fp, int j, int& count) const {
    switch (fp.columnCount) {
      case 1:
        return Columns(fp, j, count, std::make_index_sequence<1>());
      case 2:
        return Columns(fp, j, count, std::make_index_sequence<2>());
      case 3:
        return Columns(fp, j, count, std::make_index_sequence<3>());
      case 4:
        return Columns(fp, j, count, std::make_index_sequence<4>());
      case 5:
        return Columns(fp, j, count, std::make_index_sequence<5>());
    }
    count = 0;
    return 0.0f;
  }

  // The sum over the footprint's columns C..., their offsets worked out once
  // for every row.
  template <std::size_t... C>
  float Columns(const Footprint& fp, int j, int& count, std::index_sequence<C...>) const {
    const int offsets[] = {4 * fp.columns[C]...};
    const T* channel = source + j;
    uint32_t total = 0;
    count = static_cast<int>(sizeof...(C)) * fp.Rows([&](int Y) {
      const T* row = channel + Y * stride;
      total += (row[offsets[C]] + ...);
    });
    return static_cast<float>(total);
  }
};

// The back faces' image over the source, where it was drawn.
struct BackFacesBehind {
  const Frame& f;

  float At(int j, int X, int Y, float) const {
    const int pixel = 4 * X + Y * f.stride;
    const int channel = pixel + j;
    const float source = static_cast<float>(ChannelAt(f.source, channel, f.deep));
    if (ChannelAt(f.back, pixel + 3, f.deep) == 0) return source;
    const float alpha = static_cast<float>(ChannelAt(f.out, pixel + 3, f.deep)) / f.maxChannel;
    return alpha * static_cast<float>(ChannelAt(f.back, channel, f.deep)) + (1.0f - alpha) * source;
  }

  float Sum(const Footprint& fp, int j, int& count) const {
    return fp.Sum(count, [&](int X, int Y) { return At(j, X, Y, 0.0f); });
  }
};

// The layer behind, for a sample at depth z; a footprint's samples take
// their depth from the triangle's plane when it is not edge-on.
struct LayersBehind {
  const Frame& f;
  float planeA, planeB, planeC, planeD, pz;

  float At(int j, int X, int Y, float z) const {
    const int pixel = 4 * X + Y * f.stride;
    const int channel = pixel + j;
    float* depth = f.backDepth + (Y * f.width + X);
    const float stored = *depth;
    if (!(std::fabs(stored - z) >= kSameSurfaceDepth))
      return static_cast<float>(ChannelAt(f.back, channel, f.deep));
    // A new surface: a fully covered output pixel over a layer already
    // written becomes the layer behind; the depth moves on with blue, the
    // last channel read.
    float value;
    if (ChannelAt(f.out, pixel + 3, f.deep) == f.full && stored > kEmptyDepth) {
      const uint32_t o = ChannelAt(f.out, channel, f.deep);
      SetChannelAt(f.back, channel, o, f.deep);
      value = static_cast<float>(o);
    } else {
      value = static_cast<float>(ChannelAt(f.back, channel, f.deep));
    }
    if (j == 2) *depth = z;
    return value;
  }

  float Sum(const Footprint& fp, int j, int& count) const {
    const bool plane_depth = std::fabs(planeC) > 0.01f;
    return fp.Sum(count, [&](int X, int Y) {
      const float z =
          plane_depth
              ? -(planeD + planeA * static_cast<float>(X) + planeB * static_cast<float>(Y)) / planeC
              : pz;
      return At(j, X, Y, z);
    });
  }
};

// Where one pixel's three channels read the image behind.
struct Samples {
  double tint[3];
  int ownX, ownY;
  float qx[3], qy[3];
  // Towards the neighbour's sample positions, when they lie far enough for
  // a footprint.
  float dx[3], dy[3];
  bool footprint;
};

// The 2 x 2 block from (X, Y), the truncated sample position (x, y), in
// units of the full channel: its values weighted by the squared distance
// sums of the sample's fraction towards each corner, at depth z. The reads
// go in this order, since a read may update the layer behind.
template <class Image>
float Block(const Frame& f, const Image& image, int j, float x, float y, int X, int Y, float z) {
  const float fx = std::fabs(x - static_cast<float>(X));
  const float fy = std::fabs(y - static_cast<float>(Y));
  float w00 = (1.0f - fx) + (1.0f - fy);
  float w11 = fx + fy;
  float w01 = (1.0f - fx) + fy;
  float w10 = fx + (1.0f - fy);
  w00 = w00 * w00;
  w11 = w11 * w11;
  w01 = w01 * w01;
  w10 = w10 * w10;
  const float n = (w00 + w11 + w01 + w10) * f.maxChannel;
  w00 = w00 / n;
  w11 = w11 / n;
  w01 = w01 / n;
  w10 = w10 / n;
  const int X1 = X + 1 < f.width ? X + 1 : f.width - 1;
  const int Y1 = Y + 1 < f.height ? Y + 1 : f.height - 1;
  const float v00 = image.At(j, X, Y, z);
  const float v11 = image.At(j, X1, Y1, z);
  const float v01 = image.At(j, X, Y1, z);
  const float v10 = image.At(j, X1, Y, z);
  return w00 * v00 + w11 * v11 + w01 * v01 + w10 * v10;
}

int Span(float d) {
  const float n = std::fabs(d) + 1.0f;
  return n < static_cast<float>(kFootprintCap) ? static_cast<int>(n) : kFootprintCap;
}

float Clamp01(double v) {
  if (v < 0.0) v = 0.0;
  if (v > 1.0) v = 1.0;
  return static_cast<float>(v);
}

// Reads the image behind for each channel, over the footprint or at the
// sample position, and sets the diffuse colour and opacity.
template <class Image>
void Refract(const Frame& f, const Image& image, const Samples& s, float pz, PixelShade& pixel) {
  if (s.footprint) {
    float coverage = 0.0f;
    for (int j = 0; j < 3; ++j) {
      const int nx = Span(s.dx[j]);
      const int ny = Span(s.dy[j]);
      const float step_x = s.dx[j] / static_cast<float>(nx);
      const float step_y = s.dy[j] / static_cast<float>(ny);
      const Footprint fp(f, s.qx[j], s.qy[j], step_x, step_y, nx, ny, s.ownX, s.ownY);
      int count;
      const float sum = image.Sum(fp, j, count);
      const float channel = sum / static_cast<float>(nx * ny * __MaxChannel);
      coverage += static_cast<float>(count) / static_cast<float>(nx * ny);
      pixel.diffuse[j] = Clamp01(s.tint[j] + channel);
    }
    coverage = coverage / 3.0f;
    if (coverage < pixel.opacity) pixel.opacity = coverage;
    return;
  }

  for (int j = 0; j < 3; ++j) {
    const int X = Inside(s.qx[j], s.ownX, f.columnEnd);
    const int Y = Inside(s.qy[j], s.ownY, f.rowEnd);
    if (X < 0 || Y < 0) {
      pixel.opacity = 0.0f;
      pixel.diffuse[j] = 0.0f;
      continue;
    }
    const float channel = _Quality != 0 ? Block(f, image, j, s.qx[j], s.qy[j], X, Y, pz)
                                        : image.At(j, X, Y, pz) / f.maxChannel;
    pixel.diffuse[j] = Clamp01(s.tint[j] + channel);
  }
}

}  // namespace

bool GlassReadsLayers() { return BehindOfPass() == Behind::Layers; }

void ShadeGlass(const GlassProp& glass, PixelShade& pixel, float centre_x, float centre_y, float px,
                float py, float pz, const unsigned char* source, const __PrevInfo* prev,
                float plane_a, float plane_b, float plane_c, float plane_d) {
  const Frame f = CurrentFrame(source);
  Samples s;

  // The pixel's image position and its own column and row, the fallback of
  // samples that leave the image.
  const float bx = px + centre_x;
  const float by = py + centre_y;
  s.ownX = Inside(bx, -1, f.columnEnd);
  s.ownY = Inside(by, -1, f.rowEnd);

  for (int j = 0; j < 3; ++j) s.tint[j] = static_cast<double>(pixel.diffuse[j]) - 0.5;

  // Red shifts by the full offset, green and blue by k and k * k of it.
  const float a = glass.aberration / 100.0f;
  const float k = (1.0f - a) * (1.0f + a);
  const float d[3] = {glass.offset, glass.offset * k, glass.offset * k * k};

  const float c = glass.refraction;
  const float nz = pixel.normal[2];
  const float factor = -c * nz - (1.0f + c * (nz - 1.0f));
  const float ex = pixel.normal[0] * factor;
  const float ey = pixel.normal[1] * factor;
  for (int j = 0; j < 3; ++j) {
    s.qx[j] = bx + ex * d[j];
    s.qy[j] = by + ey * d[j];
    // A shift that is not a number reads at the pixel's own place.
    if (!std::isfinite(s.qx[j])) s.qx[j] = bx;
    if (!std::isfinite(s.qy[j])) s.qy[j] = by;
  }

  // The neighbour refracts with its own normal, scaled by this pixel's factor.
  s.footprint = false;
  if (prev != nullptr && _DrawBackFaces != 1 && _Quality != 0 && prev->valid != 0) {
    float mx = prev->nx;
    float my = prev->ny;
    const float length = std::sqrt(prev->nx * prev->nx + prev->ny * prev->ny + prev->nz * prev->nz);
    if (length != 0.0f) {
      mx = mx / length;
      my = my / length;
    }
    mx = mx * factor;
    my = my * factor;
    const float base_x = prev->x + centre_x;
    const float base_y = prev->y + centre_y;
    for (int j = 0; j < 3; ++j) {
      s.dx[j] = (base_x + mx * d[j]) - s.qx[j];
      s.dy[j] = (base_y + my * d[j]) - s.qy[j];
    }
    s.footprint = std::fabs(s.dx[0]) + std::fabs(s.dy[0]) > 2.0f;
  }

  switch (BehindOfPass()) {
    case Behind::Source:
      if (f.deep)
        Refract(f, SourceBehind<uint16_t>(f), s, pz, pixel);
      else
        Refract(f, SourceBehind<uint8_t>(f), s, pz, pixel);
      break;
    case Behind::BackFacesOverSource:
      Refract(f, BackFacesBehind{f}, s, pz, pixel);
      break;
    case Behind::Layers:
      Refract(f, LayersBehind{f, plane_a, plane_b, plane_c, plane_d, pz}, s, pz, pixel);
      break;
  }
}

double GlassReach(const GlassProp& glass) {
  // Only the layers behind are written; every other read leaves no trace.
  if (glass.enabled == 0 || BehindOfPass() != Behind::Layers) return 0.0;
  // A sample lies ex * d from its pixel, with ex the unit normal's x (or y)
  // times factor = c - 1 - 2 c nz, so |ex| <= 1 + 3 |c|, and |d| at most
  // |offset| times the larger of 1 and k * k. A little more covers the
  // float rounding, and three pixels the 2 x 2 block and the truncation.
  const double c = std::fabs(static_cast<double>(glass.refraction));
  const double a = static_cast<double>(glass.aberration) / 100.0;
  const double k = std::fabs((1.0 - a) * (1.0 + a));
  const double shift = (1.0 + 3.0 * c) * std::fabs(static_cast<double>(glass.offset)) *
                       std::fmax(1.0, k * k) * (1.0 + 1e-4);
  return std::isfinite(shift) ? shift + 3.0 : HUGE_VAL;
}

#include "engine/glass.h"

#include <cmath>
#include <cstdint>

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
  Behind behind;
};

Behind BehindOfPass() {
  if (_DrawBackFaces != 0 && _DrawBackFaces1 == 0) return Behind::BackFacesOverSource;
  if (_UseMultyRefract == 0) return Behind::Source;
  return Behind::Layers;
}

// Channel j of the source at pixel (X, Y).
float SourceAt(const Frame& f, int j, int X, int Y) {
  return static_cast<float>(ChannelAt(f.source, 4 * X + Y * f.stride + j, f.deep));
}

// Channel j of the image behind at pixel (X, Y) when that image does not
// depend on the sample's depth (not Behind::Layers).
float ImageBehind(const Frame& f, int j, int X, int Y) {
  const int pixel = 4 * X + Y * f.stride;
  const int channel = pixel + j;
  const float source = SourceAt(f, j, X, Y);
  if (f.behind == Behind::Source || ChannelAt(f.back, pixel + 3, f.deep) == 0) return source;
  const float alpha = static_cast<float>(ChannelAt(f.out, pixel + 3, f.deep)) / f.maxChannel;
  return alpha * static_cast<float>(ChannelAt(f.back, channel, f.deep)) + (1.0f - alpha) * source;
}

// Channel j of the layer behind at pixel (X, Y), for a sample at depth z.
float LayerBehind(const Frame& f, int j, int X, int Y, float z) {
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

// Channel j of the image behind at pixel (X, Y), for a sample at depth z.
float ValueBehind(const Frame& f, int j, int X, int Y, float z) {
  return f.behind == Behind::Layers ? LayerBehind(f, j, X, Y, z) : ImageBehind(f, j, X, Y);
}

// The truncated sample position p when it lies in 0 .. end - 1 (end being
// the width or height), else fallback (the pixel's own column or row, or -1
// when that lies outside too). A position that is not finite lies outside.
int Inside(float p, int fallback, float end) {
  return p > -1.0f && p < end ? static_cast<int>(p) : fallback;
}

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
  f.behind = BehindOfPass();
  return f;
}

// The samples of one channel's footprint: nx columns from x0 by step_x and ny
// rows from y0 by step_y. A sample outside the image reads at the pixel's own
// column or row instead, and is left out when that lies outside too. Both
// hold per axis, so every row kept reads the same columns, kept once here.
struct Footprint {
  float y0, stepY;
  int ny, ownY;
  float rowEnd;
  int columns[kFootprintCap];
  int columnCount = 0;

  Footprint(const Frame& f, float x0, float y0, float step_x, float step_y, int nx, int ny,
            int own_x, int own_y)
      : y0(y0), stepY(step_y), ny(ny), ownY(own_y), rowEnd(f.rowEnd) {
    float x = x0;
    for (int s = 0; s < nx; ++s, x += step_x) {
      const int X = Inside(x, own_x, f.columnEnd);
      if (X >= 0) columns[columnCount++] = X;
    }
  }

  // The sum of read(X, Y) over the samples, row by row, counting them in count.
  template <class Total, class Read>
  Total Sum(int& count, Read&& read) const {
    Total sum = 0;
    float y = y0;
    for (int r = 0; r < ny; ++r, y += stepY) {
      const int Y = Inside(y, ownY, rowEnd);
      if (Y < 0) continue;
      count += columnCount;
      for (int c = 0; c < columnCount; ++c) sum += read(columns[c], Y);
    }
    return sum;
  }
};

// The 2 x 2 block from (X, Y), the truncated sample position (x, y), in
// units of the full channel: its values weighted by the squared distance
// sums of the sample's fraction towards each corner. read(X, Y) gives a
// value of the image behind; the reads go in this order, since a read may
// update the layer behind.
template <class Read>
float Block(const Frame& f, float x, float y, int X, int Y, Read&& read) {
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
  const float v00 = read(X, Y);
  const float v11 = read(X1, Y1);
  const float v01 = read(X, Y1);
  const float v10 = read(X1, Y);
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

}  // namespace

bool GlassReadsLayers() { return BehindOfPass() == Behind::Layers; }

void ShadeGlass(const GlassProp& glass, PixelShade& pixel, float centre_x, float centre_y, float px,
                float py, float pz, const unsigned char* source, const __PrevInfo* prev,
                float plane_a, float plane_b, float plane_c, float plane_d) {
  const Frame f = CurrentFrame(source);

  // The pixel's image position and its own column and row, the fallback of
  // samples that leave the image.
  const float bx = px + centre_x;
  const float by = py + centre_y;
  const int own_x = Inside(bx, -1, f.columnEnd);
  const int own_y = Inside(by, -1, f.rowEnd);

  double tint[3];
  for (int j = 0; j < 3; ++j) tint[j] = static_cast<double>(pixel.diffuse[j]) - 0.5;

  // Red shifts by the full offset, green and blue by k and k * k of it.
  const float a = glass.aberration / 100.0f;
  const float k = (1.0f - a) * (1.0f + a);
  const float d[3] = {glass.offset, glass.offset * k, glass.offset * k * k};

  const float c = glass.refraction;
  const float nz = pixel.normal[2];
  const float factor = -c * nz - (1.0f + c * (nz - 1.0f));
  const float ex = pixel.normal[0] * factor;
  const float ey = pixel.normal[1] * factor;
  float qx[3], qy[3];
  for (int j = 0; j < 3; ++j) {
    qx[j] = bx + ex * d[j];
    qy[j] = by + ey * d[j];
    // A shift that is not a number reads at the pixel's own place.
    if (!std::isfinite(qx[j])) qx[j] = bx;
    if (!std::isfinite(qy[j])) qy[j] = by;
  }

  // The neighbour refracts with its own normal, scaled by this pixel's factor.
  float dx[3], dy[3];
  bool footprint = false;
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
      dx[j] = (base_x + mx * d[j]) - qx[j];
      dy[j] = (base_y + my * d[j]) - qy[j];
    }
    footprint = std::fabs(dx[0]) + std::fabs(dy[0]) > 2.0f;
  }

  if (footprint) {
    const bool plane_depth = std::fabs(plane_c) > 0.01f;
    float coverage = 0.0f;
    for (int j = 0; j < 3; ++j) {
      const int nx = Span(dx[j]);
      const int ny = Span(dy[j]);
      const float step_x = dx[j] / static_cast<float>(nx);
      const float step_y = dy[j] / static_cast<float>(ny);
      const Footprint fp(f, qx[j], qy[j], step_x, step_y, nx, ny, own_x, own_y);
      int count = 0;
      float sum;
      if (f.behind == Behind::Layers) {
        // Only the layers depend on the sample's depth.
        sum = fp.Sum<float>(count, [&](int X, int Y) {
          const float z =
              plane_depth
                  ? -(plane_d + plane_a * static_cast<float>(X) + plane_b * static_cast<float>(Y)) /
                        plane_c
                  : pz;
          return LayerBehind(f, j, X, Y, z);
        });
      } else if (f.behind == Behind::Source) {
        // At most 25 channel values below 2^16: every partial float
        // sum is a whole number below 2^24, exact, so the integer sum
        // gives the same value.
        uint32_t total;
        if (f.deep) {
          const uint16_t* source = reinterpret_cast<const uint16_t*>(f.source) + j;
          total = fp.Sum<uint32_t>(
              count, [&](int X, int Y) -> uint32_t { return source[4 * X + Y * f.stride]; });
        } else {
          const unsigned char* source = f.source + j;
          total = fp.Sum<uint32_t>(
              count, [&](int X, int Y) -> uint32_t { return source[4 * X + Y * f.stride]; });
        }
        sum = static_cast<float>(total);
      } else {
        sum = fp.Sum<float>(count, [&](int X, int Y) { return ImageBehind(f, j, X, Y); });
      }
      const float channel = sum / static_cast<float>(nx * ny * __MaxChannel);
      coverage += static_cast<float>(count) / static_cast<float>(nx * ny);
      pixel.diffuse[j] = Clamp01(tint[j] + channel);
    }
    coverage = coverage / 3.0f;
    if (coverage < pixel.opacity) pixel.opacity = coverage;
    return;
  }

  for (int j = 0; j < 3; ++j) {
    const int X = Inside(qx[j], own_x, f.columnEnd);
    const int Y = Inside(qy[j], own_y, f.rowEnd);
    if (X < 0 || Y < 0) {
      pixel.opacity = 0.0f;
      pixel.diffuse[j] = 0.0f;
      continue;
    }
    float channel;
    if (_Quality != 0) {
      // The source alone, the common case, is read in place.
      channel =
          f.behind == Behind::Source
              ? Block(f, qx[j], qy[j], X, Y, [&](int x, int y) { return SourceAt(f, j, x, y); })
              : Block(f, qx[j], qy[j], X, Y,
                      [&](int x, int y) { return ValueBehind(f, j, x, y, pz); });
    } else {
      channel = ValueBehind(f, j, X, Y, pz) / f.maxChannel;
    }
    pixel.diffuse[j] = Clamp01(tint[j] + channel);
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

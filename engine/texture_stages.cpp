#include "engine/texture_stages.h"

#include <cmath>
#include <cstdint>

#include "engine/scene_state.h"

namespace {

// The footprint of a pixel that moved far across the texture is averaged
// over at most this many texels along each axis.
constexpr int kFootprintCap = 10;
// Texel positions this large or larger (or not finite) cannot be truncated
// to a column or row, and no texture is that large: they are skipped.
constexpr float kLargestPosition = 2147483648.0f;
// 255 / 32768: a 16-bit texel's brightness step expressed in 8-bit steps.
constexpr double kBump16BitFactor = 0.007781982421875;

// A texture slot that holds texels, read at the current depth.
struct Texels {
  const unsigned char* pixels;
  int width, height;
  bool deep;

  uint32_t At(int x, int y, int c) const {
    return ChannelAt(pixels, (x + y * width) * 4 + c, deep);
  }
  // Blue + green + red as stored.
  uint32_t Brightness(int x, int y) const { return At(x, y, 0) + At(x, y, 1) + At(x, y, 2); }
};

bool Open(const __Texture& texture, Texels& texels) {
  if (texture.loaded == 0 || texture.width < 1 || texture.height < 1 || texture.pixels == nullptr)
    return false;
  texels = {texture.pixels, texture.width, texture.height, _Deep != 0};
  return true;
}

// Wraps a texel position into 0 .. size: whole turns of the texture are
// removed, a negative rest comes round from the far side, and a rest that
// rounds up to size stays on the last texel.
float Wrap(float p, int size) {
  if (p >= 0.0f && p < static_cast<float>(size)) return p;  // already on the texture
  const int turns = static_cast<int>(p) / size;
  p = p - static_cast<float>(size * turns);
  if (p < 0.0f) p = p + static_cast<float>(size);
  if (p >= static_cast<float>(size)) p = static_cast<float>(size - 1);
  return p;
}

// Texel position (X, Y) of texture coordinates (u, v) under the map's scale
// and offset; false when that position cannot address a texel.
bool Position(const map3ds& map, const Texels& t, float u, float v, float& X, float& Y) {
  X = (u * map.scaleU + map.offsetU) * static_cast<float>(t.width - 1);
  Y = (v * map.scaleV + map.offsetV) * static_cast<float>(t.height - 1);
  if (!(std::fabs(X) < kLargestPosition && std::fabs(Y) < kLargestPosition)) return false;
  X = Wrap(X, t.width);
  Y = Wrap(Y, t.height);
  return true;
}

int Span(float d) {
  const float n = std::fabs(d) + 1.0f;
  return static_cast<int>(
      n < static_cast<float>(kFootprintCap) ? n : static_cast<float>(kFootprintCap));
}

// Column (row) of a footprint sample, kept on the texture against rounding
// in textures too wide for a float to step through exactly.
int TexelIndex(float p, int size) {
  const int i = static_cast<int>(p);
  return i < 0 ? 0 : (i >= size ? size - 1 : i);
}

// The pixel's texel footprint: from the neighbour's texel position (x, y)
// over (dx, dy), sampled nx by ny times.
struct Footprint {
  float x, y, dx, dy;
  int nx, ny;
};

// True when the footprint applies: with _Quality, a valid neighbour whose
// position lies more than 2 texels away.
bool FootprintOf(const map3ds& map, const Texels& t, const __PrevInfo* prev, float X, float Y,
                 Footprint& f) {
  if (prev == nullptr || _Quality == 0 || prev->valid == 0) return false;
  float xp, yp;
  if (!Position(map, t, prev->u, prev->v, xp, yp)) return false;
  const float dx = X - xp;
  const float dy = Y - yp;
  if (!(std::fabs(dx) + std::fabs(dy) > 2.0f)) return false;
  f = {xp, yp, dx, dy, Span(dx), Span(dy)};
  return true;
}

// Bilinear sample of the first count channels at (X, Y), 0 to 1. The
// neighbour of the last column (row) is that column (row) itself.
void Bilinear(const Texels& t, float X, float Y, int count, float max_channel, float* out) {
  const int x0 = static_cast<int>(X);
  const int y0 = static_cast<int>(Y);
  const int x1 = x0 + 1 < t.width ? x0 + 1 : x0;
  const int y1 = y0 + 1 < t.height ? y0 + 1 : y0;
  const float ax = static_cast<float>(x0 + 1) - X;
  const float bx = X - static_cast<float>(x0);
  const float ay = static_cast<float>(y0 + 1) - Y;
  const float by = Y - static_cast<float>(y0);
  const float w00 = ax * ay, w11 = bx * by, w01 = ax * by, w10 = bx * ay;
  for (int c = 0; c < count; ++c) {
    out[c] =
        (w00 * static_cast<float>(t.At(x0, y0, c)) + w11 * static_cast<float>(t.At(x1, y1, c)) +
         w01 * static_cast<float>(t.At(x0, y1, c)) + w10 * static_cast<float>(t.At(x1, y0, c))) /
        max_channel;
  }
}

void Nearest(const Texels& t, float X, float Y, int count, float max_channel, float* out) {
  const int x = static_cast<int>(X);
  const int y = static_cast<int>(Y);
  for (int c = 0; c < count; ++c) out[c] = static_cast<float>(t.At(x, y, c)) / max_channel;
}

// Blue, green, red, alpha of the texture at (X, Y), 0 to 1: the footprint
// average when it applies, else bilinear with _Quality, else the nearest texel.
void SampleTexel(const map3ds& map, const Texels& t, float X, float Y, const __PrevInfo* prev,
                 float out[4]) {
  const float max_channel = static_cast<float>(__MaxChannel);
  Footprint f;
  if (FootprintOf(map, t, prev, X, Y, f)) {
    uint32_t sum[4] = {0, 0, 0, 0};
    const float step_x = f.dx / static_cast<float>(f.nx);
    const float step_y = f.dy / static_cast<float>(f.ny);
    float y = f.y;
    for (int j = 0; j < f.ny; ++j, y += step_y) {
      const int row = TexelIndex(y, t.height);
      float x = f.x;
      for (int i = 0; i < f.nx; ++i, x += step_x) {
        const int column = TexelIndex(x, t.width);
        for (int c = 0; c < 4; ++c) sum[c] += t.At(column, row, c);
      }
    }
    const float divisor = static_cast<float>(f.nx * f.ny * __MaxChannel);
    for (int c = 0; c < 4; ++c) out[c] = static_cast<float>(sum[c]) / divisor;
  } else if (_Quality != 0) {
    Bilinear(t, X, Y, 4, max_channel, out);
  } else {
    Nearest(t, X, Y, 4, max_channel, out);
  }
}

// Samples the slot at (u, v) into blue, green, red, alpha; false when the
// slot holds nothing to read there.
bool SampleSlot(const map3ds& map, const __Texture& texture, float u, float v,
                const __PrevInfo* prev, float texel[4]) {
  Texels t;
  float X, Y;
  if (!Open(texture, t) || !Position(map, t, u, v, X, Y)) return false;
  SampleTexel(map, t, X, Y, prev, texel);
  return true;
}

float Clamp01(float a) {
  if (a < 0.0f) a = 0.0f;
  if (a > 1.0f) a = 1.0f;
  return a;
}

float Rest(float a) { return 1.0f - a > 0.0f ? 1.0f - a : 0.0f; }

// The coordinate (0 to 1 across the box) at which the line from (p, pz) in
// direction (r, rz) leaves the box of half size h and size s, in one plane
// through the depth axis: the nearer of its hits on a depth face and on a
// side face, the depth face winning a tie. A direction along neither axis
// looks straight across at the point's own place. False when neither hit
// lies within any sensible distance.
bool BoxCoordinate(float p, float pz, float r, float rz, float h, float s, float& coordinate) {
  const double ar = std::fabs(r);
  const double az = std::fabs(rz);
  if (az < 0.0001 && ar < 0.0001) {
    coordinate = (p + h) / s;
    return true;
  }
  float nearest = 1e21f;
  bool found = false;
  if (az >= 0.00001) {
    const float z = rz < 0.0f ? -h : h;
    const float x = p + r * (z - pz) / rz;
    const float d = x * x + z * z;
    if (d < nearest) {
      nearest = d;
      coordinate = (x + h) / s;
      found = true;
    }
  }
  if (ar >= 0.00001) {
    const float x = r < 0.0f ? -h : h;
    const float z = pz + rz * (x - p) / r;
    const float d = x * x + z * z;
    if (d < nearest) {
      coordinate = (z + h) / s;
      found = true;
    }
  }
  return found;
}

// Brightness sums over a bump footprint: at each sample, at the texel to its
// right and at the texel below it.
struct BrightnessSums {
  uint32_t s00, s10, s01;
};

// Each sample is compared with the texels one footprint step away, wrapping
// to the first column (row) past the last. Channel is the texels' element type.
template <typename Channel>
BrightnessSums BumpFootprint(const Texels& t, const Footprint& f) {
  const Channel* texels = reinterpret_cast<const Channel*>(t.pixels);
  const auto brightness = [&](int x, int y) -> uint32_t {
    const Channel* p = texels + (x + y * t.width) * 4;
    return static_cast<uint32_t>(p[0]) + p[1] + p[2];
  };
  const float step_x = f.dx / static_cast<float>(f.nx);
  const float step_y = f.dy / static_cast<float>(f.ny);
  const float to_right = std::fabs(f.dx) > 1.0f ? std::fabs(f.dx) : 1.0f;
  const float to_lower = std::fabs(f.dy) > 1.0f ? std::fabs(f.dy) : 1.0f;
  const float width = static_cast<float>(t.width);
  const float height = static_cast<float>(t.height);
  // Every row steps through the same columns.
  int columns[kFootprintCap], rights[kFootprintCap];
  float x = f.x;
  for (int i = 0; i < f.nx; ++i, x += step_x) {
    columns[i] = TexelIndex(x, t.width);
    const float right_at = static_cast<float>(columns[i]) + to_right;
    rights[i] = right_at < width ? static_cast<int>(right_at) : 0;
  }
  BrightnessSums sums{0, 0, 0};
  float y = f.y;
  for (int j = 0; j < f.ny; ++j, y += step_y) {
    const int row = TexelIndex(y, t.height);
    const float lower_at = static_cast<float>(row) + to_lower;
    const int lower = lower_at < height ? static_cast<int>(lower_at) : 0;
    for (int i = 0; i < f.nx; ++i) {
      sums.s00 += brightness(columns[i], row);
      sums.s10 += brightness(rights[i], row);
      sums.s01 += brightness(columns[i], lower);
    }
  }
  return sums;
}

}  // namespace

bool ShadeReflectionMap(const map3ds& map, const __Texture& texture, const PixelShade& pixel,
                        float px, float py, float pz, ReflectionSample& sample) {
  Texels t;
  if (!Open(texture, t)) return false;
  const float nx = pixel.normal[0], ny = pixel.normal[1], nz = pixel.normal[2];
  const float rx = 2.0f * nz * nx;
  const float ry = 2.0f * nz * ny;
  const float rz = 2.0f * nz * nz - 1.0f;
  const float h = static_cast<float>(Zwidth);
  const float s = static_cast<float>(2 * Zwidth);
  // A frame of no width has no box to look into: every coordinate across
  // it would be a division by 0, which no texel position survives.
  if (s == 0.0f) return false;
  float u, v, X, Y;
  if (!BoxCoordinate(px, pz, rx, rz, h, s, u) || !BoxCoordinate(py, pz, ry, rz, h, s, v) ||
      !Position(map, t, u, v, X, Y))
    return false;
  float bgr[3];
  const float max_channel = static_cast<float>(__MaxChannel);
  if (_Quality != 0)
    Bilinear(t, X, Y, 3, max_channel, bgr);
  else
    Nearest(t, X, Y, 3, max_channel, bgr);
  sample.colour[0] = bgr[2];
  sample.colour[1] = bgr[1];
  sample.colour[2] = bgr[0];
  float amount = map.amount;
  if (amount > 1.0f) amount = 1.0f;
  if (amount < 0.0f) amount = 0.0f;
  sample.amount = amount;
  return true;
}

void BlendReflection(const ReflectionSample& sample, PixelShade& pixel) {
  const float rest = Rest(sample.amount);
  for (int c = 0; c < 3; ++c)
    pixel.diffuse[c] = sample.colour[c] * sample.amount + rest * pixel.diffuse[c];
}

void ShadeColourMap(const map3ds& map, const __Texture& texture, float u, float v,
                    const __PrevInfo* prev, PixelShade& pixel) {
  float texel[4];
  if (!SampleSlot(map, texture, u, v, prev, texel)) return;
  const float a = Clamp01(map.amount) * texel[3];
  const float rest = Rest(a);
  for (int c = 0; c < 3; ++c) pixel.diffuse[c] = a * texel[2 - c] + rest * pixel.diffuse[c];
}

void ShadeOpacityMap(const map3ds& map, const __Texture& texture, float u, float v,
                     const __PrevInfo* prev, PixelShade& pixel) {
  float texel[4];
  if (!SampleSlot(map, texture, u, v, prev, texel)) return;
  const float a = Clamp01(map.amount) * texel[3];
  float brightest = texel[2];
  if (texel[1] > brightest) brightest = texel[1];
  if (texel[0] > brightest) brightest = texel[0];
  pixel.opacity = a * brightest + Rest(a) * pixel.opacity;
}

void ShadeBumpMap(const map3ds& map, const __Texture& texture, float u, float v,
                  const __PrevInfo* prev, PixelShade& pixel) {
  Texels t;
  float X, Y;
  if (!Open(texture, t) || !Position(map, t, u, v, X, Y)) return;

  // Brightness at the pixel's texel, at its right and at its lower neighbour.
  double c00, c10, c01;
  Footprint f;
  if (FootprintOf(map, t, prev, X, Y, f)) {
    const float samples = static_cast<float>(f.nx * f.ny);
    const BrightnessSums sums =
        t.deep ? BumpFootprint<uint16_t>(t, f) : BumpFootprint<uint8_t>(t, f);
    c00 = static_cast<float>(sums.s00) / samples;
    c10 = static_cast<float>(sums.s10) / samples;
    c01 = static_cast<float>(sums.s01) / samples;
  } else {
    // The last column (row) is its own neighbour: no gradient across the edge.
    const int x0 = static_cast<int>(X);
    const int y0 = static_cast<int>(Y);
    const int x1 = x0 + 1 < t.width ? x0 + 1 : x0;
    const int y1 = y0 + 1 < t.height ? y0 + 1 : y0;
    c00 = t.Brightness(x0, y0);
    c10 = t.Brightness(x1, y0);
    c01 = t.Brightness(x0, y1);
  }

  double k = map.amount;
  if (t.deep) k = k * kBump16BitFactor;
  k = k / 10.0;
  pixel.normal[0] = static_cast<float>(pixel.normal[0] - (c10 - c00) * k);
  pixel.normal[1] = static_cast<float>(pixel.normal[1] - (c01 - c00) * k);
}

#include "qf_host/image.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>

#include "qf_host/host_error.h"

namespace qfhost {
namespace {

struct Rgb {
  double r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// round(a / b) as floor((2a + b) / 2b), in 64 bits so that no product overflows.
uint64_t RoundedQuotient(uint64_t a, uint64_t b) { return (2 * a + b) / (2 * b); }

double Clamp01(double v) { return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v; }

double Smooth(double t) {
  t = Clamp01(t);
  return t * t * (3.0 - 2.0 * t);
}

// The sky from deep indigo at the top through mauve to peach at the horizon.
Rgb Sky(double v) {
  const Rgb top{0.10, 0.12, 0.32}, middle{0.52, 0.34, 0.56}, horizon{0.98, 0.72, 0.50};
  return v < 0.4 ? Mix(top, middle, Smooth(v / 0.4))
                 : Mix(middle, horizon, Smooth((v - 0.4) / 0.3));
}

struct Ridge {
  double base, amp1, freq1, phase1, amp2, freq2, phase2;
  Rgb colour;
};

// Far to near: each range of hills covers the ones behind it.
const Ridge kRidges[] = {
    {0.62, 0.040, 1.3, 0.4, 0.015, 4.1, 1.7, {0.42, 0.32, 0.52}},
    {0.72, 0.050, 0.9, 2.1, 0.020, 3.3, 0.2, {0.24, 0.27, 0.42}},
    {0.84, 0.045, 0.7, 4.0, 0.012, 5.2, 2.9, {0.08, 0.20, 0.24}},
};

struct Bubble {
  double x, y, radius, strength;  // x in widths, y and radius in heights
};
const Bubble kBubbles[] = {
    {0.14, 0.20, 0.050, 0.10}, {0.27, 0.32, 0.030, 0.08}, {0.41, 0.14, 0.070, 0.06},
    {0.86, 0.22, 0.040, 0.09}, {0.93, 0.40, 0.025, 0.07},
};

}  // namespace

void CheckImageSize(const std::string& what, long long width, long long height) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide)
    throw HostError(what + ": size " + std::to_string(width) + " x " + std::to_string(height) +
                    " is outside 1 x 1 to " + std::to_string(kMaxImageSide) + " x " +
                    std::to_string(kMaxImageSide));
}

Image MakeImage(const std::string& what, int width, int height, int bits) {
  CheckImageSize(what, width, height);
  Image image;
  image.width = width;
  image.height = height;
  image.bits = bits;
  try {
    image.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  } catch (const std::bad_alloc&) {
    throw HostError(what + ": not enough memory for " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels");
  }
  return image;
}

uint16_t File16ToWorld16(uint16_t v) {
  return static_cast<uint16_t>(RoundedQuotient(v * 32768ull, 65535));
}

uint16_t World16ToFile16(uint16_t v) {
  if (v >= 32768) return 65535;
  return static_cast<uint16_t>(RoundedQuotient(v * 65535ull, 32768));
}

uint8_t File16ToWorld8(uint16_t v) {
  return static_cast<uint8_t>(RoundedQuotient(v * 255ull, 65535));
}

uint16_t File8ToWorld16(uint8_t v) {
  return static_cast<uint16_t>(RoundedQuotient(v * 32768ull, 255));
}

int DownsampledSide(int full, int factor) { return (full + factor - 1) / factor; }

Image DownsampleImage(const Image& image, int factor) {
  if (factor < 1 || factor > 16)
    throw HostError("downsampling by " + std::to_string(factor) + " is not offered");
  if (factor == 1) return image;
  const int width = DownsampledSide(image.width, factor);
  const int height = DownsampledSide(image.height, factor);
  Image out = MakeImage("the downsampled picture", width, height, image.bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int x1 = std::min(image.width, (x + 1) * factor),
                y1 = std::min(image.height, (y + 1) * factor);
      uint64_t count = 0, alpha = 0, plain[3] = {}, weighted[3] = {};
      for (int sy = y * factor; sy < y1; ++sy)
        for (int sx = x * factor; sx < x1; ++sx) {
          const uint16_t* p = image.pixel(sx, sy);
          ++count;
          alpha += p[3];
          for (int c = 0; c < 3; ++c) {
            plain[c] += p[c];
            weighted[c] += static_cast<uint64_t>(p[c]) * p[3];
          }
        }
      uint16_t* q = out.pixel(x, y);
      for (int c = 0; c < 3; ++c)
        q[c] = static_cast<uint16_t>(alpha ? RoundedQuotient(weighted[c], alpha)
                                           : RoundedQuotient(plain[c], count));
      q[3] = static_cast<uint16_t>(RoundedQuotient(alpha, count));
    }
  return out;
}

Image BuiltInSource(int width, int height) {
  Image image = MakeImage("built-in source", width, height, 16);
  const double h = height;
  const double aspect = static_cast<double>(width) / h;
  const double sun_x = 0.68 * aspect, sun_y = 0.50, sun_r = 0.085;
  constexpr int kBubbleCount = static_cast<int>(std::size(kBubbles));
  constexpr int kRidgeCount = static_cast<int>(std::size(kRidges));

  // What depends only on the column (the ridges, the sky at their crests, the
  // horizontal distances) is worked out once per column, the same expressions
  // in the same order, so every pixel comes out as if computed in full.
  struct Column {
    double sun_dx2;
    double bubble_dx2[kBubbleCount];
    double ridge[kRidgeCount];
    Rgb ridge_sky[kRidgeCount];
  };
  std::vector<Column> columns(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x) {
    Column& col = columns[x];
    const double u = (x + 0.5) / width;
    const double px = (x + 0.5) / h;  // in heights, so that circles stay round
    col.sun_dx2 = (px - sun_x) * (px - sun_x);
    for (int i = 0; i < kBubbleCount; ++i) {
      const double dx = px - kBubbles[i].x * aspect;
      col.bubble_dx2[i] = dx * dx;
    }
    for (int i = 0; i < kRidgeCount; ++i) {
      const Ridge& r = kRidges[i];
      col.ridge[i] = r.base + r.amp1 * std::sin(6.283185307179586 * r.freq1 * u + r.phase1) +
                     r.amp2 * std::sin(6.283185307179586 * r.freq2 * u + r.phase2);
      col.ridge_sky[i] = Sky(col.ridge[i]);
    }
  }

  for (int y = 0; y < height; ++y) {
    const double v = (y + 0.5) / h;
    const Rgb sky = Sky(v);
    const double sun_dy2 = (v - sun_y) * (v - sun_y);
    double bubble_dy2[kBubbleCount];
    for (int i = 0; i < kBubbleCount; ++i) {
      const double dy = v - kBubbles[i].y;
      bubble_dy2[i] = dy * dy;
    }
    uint16_t* p = image.pixel(0, y);
    for (int x = 0; x < width; ++x, p += 4) {
      const Column& col = columns[x];
      Rgb c = sky;

      const double d2 = col.sun_dx2 + sun_dy2;
      const double glow = 0.35 * std::exp(-d2 / 0.02);
      c = {c.r + glow, c.g + glow * 0.8, c.b + glow * 0.5};
      // Edges one pixel wide keep the shapes smooth at every size.
      const double sun = Clamp01((sun_r - std::sqrt(d2)) * h + 0.5);
      c = Mix(c, Rgb{1.0, 0.94, 0.78}, sun);

      for (int i = 0; i < kBubbleCount; ++i) {
        const Bubble& b = kBubbles[i];
        const double inside =
            Clamp01((b.radius - std::sqrt(col.bubble_dx2[i] + bubble_dy2[i])) * h + 0.5);
        c = Mix(c, Rgb{1.0, 1.0, 1.0}, inside * b.strength);
      }

      for (int i = 0; i < kRidgeCount; ++i) {
        const double ridge = col.ridge[i];
        const double cover = Clamp01((v - ridge) * h + 0.5);
        if (cover == 0.0) continue;  // above this ridge: mixing by 0 would leave c as it is
        // Hills lighten a little towards their crest, like haze.
        const Rgb hill =
            Mix(kRidges[i].colour, col.ridge_sky[i], 0.15 * Smooth(1.0 - (v - ridge) / 0.08));
        c = Mix(c, hill, cover);
      }

      p[0] = static_cast<uint16_t>(std::lround(Clamp01(c.r) * 65535.0));
      p[1] = static_cast<uint16_t>(std::lround(Clamp01(c.g) * 65535.0));
      p[2] = static_cast<uint16_t>(std::lround(Clamp01(c.b) * 65535.0));
      p[3] = 65535;
    }
  }
  return image;
}

}  // namespace qfhost

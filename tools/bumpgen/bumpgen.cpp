// qf-bumpgen: draws bitmap 999, the relief of the "Bump" texture, as a 40 x 40
// 24-bit grey BMP: hoar-frost crystals, each a six-armed star whose arms carry
// side twigs, raised over a faintly grained ground. The picture repeats across
// its edges, so tiles of it meet without seams. The same output every run.
//
//   qf-bumpgen OUTPUT.bmp
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "../bmp_file.h"

namespace {

constexpr int kSide = 40;
constexpr double kPi = 3.14159265358979323846;

// A fixed linear congruential sequence keeps the picture the same on every machine.
struct Sequence {
  uint32_t state;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  }
};

// Shortest offset between two coordinates on the repeating picture.
double Wrap(double d) { return d - kSide * std::floor(d / kSide + 0.5); }

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

struct Crystal {
  double x, y, turn, reach;
};

// Height 0 to 1 of one crystal at offset (dx, dy) from its centre: arms and
// twigs are ridges that thin out towards their tips.
double CrystalHeight(const Crystal& c, double dx, double dy) {
  double h = 0;
  for (int arm = 0; arm < 6; ++arm) {
    const double a = c.turn + arm * kPi / 3;
    const double ux = std::cos(a), uy = std::sin(a);
    const double d = SegmentDistance(dx, dy, 0, 0, ux * c.reach, uy * c.reach);
    const double along = (dx * ux + dy * uy) / c.reach;
    const double taper = 1 - 0.6 * (along < 0 ? 0 : (along > 1 ? 1 : along));
    h = std::fmax(h, taper * std::fmax(0, 1 - d / 1.3));
    for (int twig = 1; twig <= 2; ++twig) {
      const double at = c.reach * twig / 3;
      const double length = c.reach * (0.45 - 0.12 * twig);
      for (int side = -1; side <= 1; side += 2) {
        const double b = a + side * kPi / 3;
        const double d2 = SegmentDistance(dx, dy, ux * at, uy * at, ux * at + std::cos(b) * length,
                                          uy * at + std::sin(b) * length);
        h = std::fmax(h, 0.7 * taper * std::fmax(0, 1 - d2 / 1.0));
      }
    }
  }
  return h;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qf-bumpgen OUTPUT.bmp\n");
    return 2;
  }
  Sequence seq{0x51F7u};
  std::vector<Crystal> crystals;
  for (int i = 0; i < 7; ++i)
    crystals.push_back(
        {seq.Next() * kSide, seq.Next() * kSide, seq.Next() * kPi / 3, 5 + seq.Next() * 7});
  std::vector<uint8_t> grey(kSide * kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      double h = 0;
      for (const Crystal& c : crystals)
        h = std::fmax(h, CrystalHeight(c, Wrap(x - c.x), Wrap(y - c.y)));
      const double grain = seq.Next() - 0.5;
      const double level = 70 + 170 * h + 18 * grain;
      grey[y * kSide + x] = static_cast<uint8_t>(level < 0 ? 0 : (level > 255 ? 255 : level));
    }

  std::vector<uint8_t> file = qf_tools::Bmp24Header(kSide, kSide);  // kSide x 3 is a multiple of 4
  for (int y = kSide - 1; y >= 0; --y)
    for (int x = 0; x < kSide; ++x)
      qf_tools::PutLittleEndian(file, grey[y * kSide + x] * 0x010101u, 3);
  if (!qf_tools::WriteFile(argv[1], file)) return 1;
  return 0;
}

// qf-bumpgen: writes the 40 x 40 grey bump bitmap, a frost-like relief of
// crossing ice ridges over a fine grain, as a 24-bit bottom-up BMP file.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSide = 40;

// A small integer hash for a repeatable grain.
unsigned Grain(int x, int y) {
  unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return (h ^ (h >> 16)) & 0xFF;
}

int Level(int x, int y) {
  // Three ridge families at 60 degrees apart, like the arms of an ice crystal.
  double relief = 0;
  for (int k = 0; k < 3; ++k) {
    const double angle = k * 3.14159265358979 / 3.0 + 0.3;
    const double d = x * std::cos(angle) + y * std::sin(angle);
    relief += std::pow(std::fabs(std::sin(d * 0.45 + k)), 6.0);
  }
  const double level = 70 + 45 * relief + (Grain(x, y) % 24);
  return level > 255 ? 255 : static_cast<int>(level);
}

void Put16(std::vector<unsigned char>& out, unsigned v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<unsigned char>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qf-bumpgen OUTPUT.bmp\n");
    return 2;
  }
  const uint32_t row_bytes = kSide * 3;  // already a multiple of 4
  const uint32_t image_bytes = row_bytes * kSide;
  std::vector<unsigned char> bmp;
  bmp.push_back('B');
  bmp.push_back('M');
  Put32(bmp, 54 + image_bytes);
  Put32(bmp, 0);
  Put32(bmp, 54);
  Put32(bmp, 40);
  Put32(bmp, kSide);
  Put32(bmp, kSide);  // positive: bottom row first
  Put16(bmp, 1);
  Put16(bmp, 24);
  Put32(bmp, 0);
  Put32(bmp, image_bytes);
  Put32(bmp, 2835);
  Put32(bmp, 2835);
  Put32(bmp, 0);
  Put32(bmp, 0);
  for (int row = kSide - 1; row >= 0; --row) {
    for (int x = 0; x < kSide; ++x) {
      const unsigned char g = static_cast<unsigned char>(Level(x, row));
      bmp.push_back(g);
      bmp.push_back(g);
      bmp.push_back(g);
    }
  }
  FILE* file = std::fopen(argv[1], "wb");
  if (!file || std::fwrite(bmp.data(), 1, bmp.size(), file) != bmp.size()) {
    std::fprintf(stderr, "qf-bumpgen: cannot write %s\n", argv[1]);
    return 1;
  }
  std::fclose(file);
  return 0;
}

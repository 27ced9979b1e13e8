// Writes PNG files of any colour type and depth straight through libpng, so
// that the host's reader meets files it did not write itself.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qfhost_test {

struct TestPng {
  TestPng(int w, int h, int depth, int type)
      : width(w), height(h), bit_depth(depth), colour_type(type) {}
  int width = 0;
  int height = 0;
  int bit_depth = 8;
  int colour_type = PNG_COLOR_TYPE_RGBA;
  bool interlaced = false;
  std::vector<uint8_t> rows;            // packed rows as the file stores them (16-bit big-endian)
  std::vector<png_color> palette;       // for PNG_COLOR_TYPE_PALETTE
  std::vector<png_byte> palette_alpha;  // a tRNS chunk for the palette
};

// Returns false when libpng refuses.
inline bool WriteTestPng(const std::string& path, const TestPng& p) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const size_t row_bytes = p.height ? p.rows.size() / p.height : 0;
  std::vector<png_bytep> rows(p.height);
  for (int y = 0; y < p.height; ++y) rows[y] = const_cast<png_bytep>(p.rows.data()) + row_bytes * y;
  volatile bool ok = false;
  if (!setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_set_IHDR(png, info, p.width, p.height, p.bit_depth, p.colour_type,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!p.palette.empty())
      png_set_PLTE(png, info, p.palette.data(), static_cast<int>(p.palette.size()));
    if (!p.palette_alpha.empty())
      png_set_tRNS(png, info, p.palette_alpha.data(), static_cast<int>(p.palette_alpha.size()),
                   nullptr);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return ok;
}

// Big-endian 16-bit samples as a PNG row stores them.
inline void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v & 0xFF));
}

}  // namespace qfhost_test

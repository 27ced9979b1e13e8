// Writing 24-bit uncompressed BMP files, shared by the bitmap generators.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace qf_tools {

inline void PutLittleEndian(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Bytes of one stored row of pixels: 3 a pixel, padded to a multiple of 4.
inline uint32_t Bmp24RowBytes(int width) { return (width * 3 + 3) & ~3u; }

// The 54 header bytes of a width x height picture. The height is positive: the
// first row stored is shown at the bottom.
inline std::vector<uint8_t> Bmp24Header(int width, int height) {
  const uint32_t pixel_bytes = Bmp24RowBytes(width) * height;
  std::vector<uint8_t> file = {'B', 'M'};
  for (uint32_t v : {14 + 40 + pixel_bytes, 0u, 14u + 40u, 40u, static_cast<uint32_t>(width),
                     static_cast<uint32_t>(height)})
    PutLittleEndian(file, v, 4);
  PutLittleEndian(file, 1, 2);   // planes
  PutLittleEndian(file, 24, 2);  // bits a pixel
  for (uint32_t v : {0u, pixel_bytes, 2835u, 2835u, 0u, 0u}) PutLittleEndian(file, v, 4);
  return file;
}

// Writes the file; on failure says so and returns false.
inline bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
  std::FILE* out = std::fopen(path, "wb");
  bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (out && std::fclose(out) != 0) written = false;
  if (!written) std::fprintf(stderr, "%s: cannot be written\n", path);
  return written;
}

}  // namespace qf_tools

// The PNG reader on arbitrary file bytes, and the read picture turned into
// worlds of both depths as --source and --reflection do; then the same bytes
// with their chunk checksums mended. The bytes go to a memory file, read
// through its /proc path as any other file.
#include <sys/mman.h>
#include <unistd.h>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "qf_host/host_error.h"
#include "qf_host/png_io.h"
#include "qf_host/world.h"

namespace {

// The bytes with every whole chunk's checksum made right, so that a change in a
// chunk reaches the reader instead of stopping at libpng's checksum test.
std::vector<uint8_t> WithChunkChecksums(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  size_t at = 8;  // after the signature
  while (at + 12 <= bytes.size()) {
    const uint8_t* p = &bytes[at];
    const size_t length = size_t{p[0]} << 24 | size_t{p[1]} << 16 | size_t{p[2]} << 8 | p[3];
    if (length > bytes.size() - at - 12) break;
    const uLong crc = crc32(0, p + 4, static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i)
      bytes[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += length + 12;
  }
  return bytes;
}

int MemoryFile() {
  const int fd = memfd_create("qf-png-fuzz", 0);
  if (fd < 0) {
    std::perror("png fuzz: memfd_create");
    std::abort();
  }
  return fd;
}

void Read(const uint8_t* data, size_t size) {
  static const int fd = MemoryFile();
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
    std::perror("png fuzz: writing the memory file");
    std::abort();
  }
  try {
    const qfhost::Image image = qfhost::ReadPng(path);
    for (bool deep : {false, true}) qfhost::WorldFromImage(image, deep);
  } catch (const qfhost::HostError&) {
    // A one-line refusal is the answer to a bad file.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Read(data, size);
  const std::vector<uint8_t> mended = WithChunkChecksums(data, size);
  if (!std::equal(mended.begin(), mended.end(), data)) Read(mended.data(), mended.size());
  return 0;
}

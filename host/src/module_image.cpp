#include "qf_host/module_image.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>

namespace qfhost {
namespace {

// Reads `count` bytes at `offset`; false when the image ends before them.
using ReadAt = std::function<bool(uint64_t offset, size_t count, uint8_t* out)>;

uint64_t Little(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// Whether [offset, offset + length) lies within `size` bytes, without overflow.
bool Within(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

// "its section 0 (512 bytes from byte 4096) lies beyond the end of the 4096-byte file"
std::string Beyond(const std::string& what, uint64_t offset, uint64_t length, uint64_t size) {
  return what + " (" + std::to_string(length) + " bytes from byte " + std::to_string(offset) +
         ") lies beyond the end of the " + std::to_string(size) + "-byte file";
}

// A 64-bit little-endian ELF file: its program header table and each
// loadable segment's file bytes. Other classes and byte orders are not
// modules of this platform and the loader refuses them before mapping.
std::string ElfProblem(uint64_t size, const ReadAt& read) {
  uint8_t header[64];
  if (!read(0, sizeof header, header) || header[4] != 2 || header[5] != 1) return {};
  const uint64_t table = Little(header + 0x20, 8);
  const uint64_t entry_size = Little(header + 0x36, 2);
  const uint64_t count = Little(header + 0x38, 2);
  if (entry_size != 56) return {};  // refused by the loader as it stands
  if (!Within(table, count * entry_size, size))
    return Beyond("its program header table", table, count * entry_size, size);
  for (uint64_t i = 0; i < count; ++i) {
    uint8_t entry[56];
    if (!read(table + i * entry_size, sizeof entry, entry)) return {};
    const uint64_t type = Little(entry, 4), offset = Little(entry + 8, 8);
    const uint64_t file_bytes = Little(entry + 32, 8);
    if (type == 1 /* PT_LOAD */ && file_bytes > 0 && !Within(offset, file_bytes, size))
      return Beyond("its loaded segment " + std::to_string(i), offset, file_bytes, size);
  }
  return {};
}

// A PE file: its headers and each section's raw data.
std::string PeProblem(uint64_t size, const ReadAt& read) {
  uint8_t dos[64];
  if (!read(0, sizeof dos, dos)) return {};
  const uint64_t pe = Little(dos + 0x3C, 4);
  uint8_t coff[24];  // the signature and the file header
  if (!Within(pe, sizeof coff, size)) return Beyond("its PE header", pe, sizeof coff, size);
  if (!read(pe, sizeof coff, coff) || std::memcmp(coff, "PE\0\0", 4) != 0) return {};
  const uint64_t sections = Little(coff + 6, 2);
  const uint64_t table = pe + sizeof coff + Little(coff + 20, 2);
  if (!Within(table, sections * 40, size))
    return Beyond("its section table", table, sections * 40, size);
  for (uint64_t i = 0; i < sections; ++i) {
    uint8_t section[40];
    if (!read(table + i * 40, sizeof section, section)) return {};
    const uint64_t raw_bytes = Little(section + 16, 4), offset = Little(section + 20, 4);
    if (raw_bytes > 0 && !Within(offset, raw_bytes, size))
      return Beyond("its section " + std::to_string(i), offset, raw_bytes, size);
  }
  return {};
}

std::string ImageProblem(uint64_t size, const ReadAt& read) {
  uint8_t magic[4];
  if (!read(0, sizeof magic, magic)) return {};
  if (std::memcmp(magic, "\177ELF", 4) == 0) return ElfProblem(size, read);
  if (magic[0] == 'M' && magic[1] == 'Z') return PeProblem(size, read);
  return {};
}

}  // namespace

std::string ModuleImageProblem(const uint8_t* bytes, size_t size) {
  return ImageProblem(size, [&](uint64_t offset, size_t count, uint8_t* out) {
    if (!Within(offset, count, size)) return false;
    std::memcpy(out, bytes + offset, count);
    return true;
  });
}

std::string ModuleFileProblem(const std::string& path) {
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(path, error);
  std::ifstream file(path, std::ios::binary);
  if (error || !file) return {};
  return ImageProblem(size, [&](uint64_t offset, size_t count, uint8_t* out) {
    if (!Within(offset, count, size)) return false;
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return file.gcount() == static_cast<std::streamsize>(count);
  });
}

}  // namespace qfhost

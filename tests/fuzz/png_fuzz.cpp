// The PNG reader on arbitrary file bytes, and the read picture turned into
// worlds of both depths as --source and --reflection do. The bytes go to a
// memory file, read through its /proc path as any other file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "qf_host/host_error.h"
#include "qf_host/png_io.h"
#include "qf_host/world.h"

namespace {

int MemoryFile() {
  const int fd = memfd_create("qf-png-fuzz", 0);
  if (fd < 0) {
    std::perror("png fuzz: memfd_create");
    std::abort();
  }
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
  return 0;
}

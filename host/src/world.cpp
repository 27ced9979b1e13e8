#include "qf_host/world.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

#include "qf_host/host_error.h"

namespace qfhost {

HostWorld::HostWorld(int width, int height, bool deep) {
  CheckImageSize("world", width, height);
  const size_t channel_bytes = deep ? 2 : 1;
  const size_t pixel_bytes = 4 * channel_bytes;
  const size_t row_bytes = (static_cast<size_t>(width) + kPadPixels) * pixel_bytes;
  try {
    storage_.assign(row_bytes * height, 0);
  } catch (const std::bad_alloc&) {
    throw HostError("not enough memory for a " + std::to_string(width) + " x " +
                    std::to_string(height) + " " + (deep ? "16" : "8") + "-bit world");
  }
  const size_t pixels_bytes = static_cast<size_t>(width) * pixel_bytes;
  for (int y = 0; y < height; ++y)
    std::memset(storage_.data() + row_bytes * y + pixels_bytes, kGuardByte,
                row_bytes - pixels_bytes);

  world_.world_flags = PF_WorldFlag_WRITEABLE | (deep ? PF_WorldFlag_DEEP : 0);
  world_.data = storage_.data();
  world_.rowbytes = static_cast<A_long>(row_bytes);
  world_.width = width;
  world_.height = height;
  world_.extent_hint = PF_Rect{0, 0, width, height};
}

size_t HostWorld::Offset(int x, int y, int c) const {
  const size_t channel_bytes = deep() ? 2 : 1;
  return static_cast<size_t>(world_.rowbytes) * y +
         (static_cast<size_t>(x) * 4 + c) * channel_bytes;
}

uint16_t HostWorld::channel(int x, int y, int c) const {
  const uint8_t* p = storage_.data() + Offset(x, y, c);
  if (!deep()) return *p;
  uint16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void HostWorld::set_channel(int x, int y, int c, uint16_t value) {
  uint8_t* p = storage_.data() + Offset(x, y, c);
  if (deep()) {
    std::memcpy(p, &value, sizeof value);
  } else {
    *p = static_cast<uint8_t>(value);
  }
}

bool HostWorld::PaddingIntact() const {
  const size_t row_bytes = static_cast<size_t>(world_.rowbytes);
  const size_t pixels_bytes = Offset(width(), 0, 0);
  for (int y = 0; y < height(); ++y) {
    const uint8_t* pad = storage_.data() + row_bytes * y + pixels_bytes;
    for (size_t i = 0; i < row_bytes - pixels_bytes; ++i)
      if (pad[i] != kGuardByte) return false;
  }
  return true;
}

uint64_t RenderMemoryBytes(int width, int height, bool deep) {
  const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  const uint64_t world = deep ? 8 : 4;
  const uint64_t picture = 8;  // an Image sample is 16 bits whatever its depth
  const uint64_t depth_buffers = 8;
  return pixels * (2 * picture + 2 * world + 2 * world + depth_buffers);
}

uint64_t AvailableMemoryBytes() {
  std::ifstream meminfo("/proc/meminfo");
  std::string line;
  const std::string key = "MemAvailable:";
  while (std::getline(meminfo, line))
    if (line.compare(0, key.size(), key) == 0)
      return std::strtoull(line.c_str() + key.size(), nullptr, 10) * 1024;
  return 0;
}

void CheckRenderMemory(int width, int height, bool deep, uint64_t available) {
  const uint64_t needed = RenderMemoryBytes(width, height, deep);
  if (available == 0 || needed <= available) return;
  const uint64_t mib = 1024 * 1024;
  throw HostError("a " + std::to_string(width) + " x " + std::to_string(height) + " " +
                  (deep ? "16" : "8") + "-bit render needs about " +
                  std::to_string((needed + mib - 1) / mib) + " MiB; " +
                  std::to_string(available / mib) + " MiB is available");
}

HostWorld WorldFromImage(const Image& image, bool deep) {
  HostWorld world(image.width, image.height, deep);
  // Image samples run red, green, blue, alpha; host channels alpha, red, green, blue.
  static const int kHostChannel[4] = {1, 2, 3, 0};
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const uint16_t* p = image.pixel(x, y);
      for (int s = 0; s < 4; ++s) {
        uint16_t v = p[s];
        if (image.bits == 16) {
          v = deep ? File16ToWorld16(v) : File16ToWorld8(v);
        } else if (deep) {
          v = File8ToWorld16(static_cast<uint8_t>(v));
        }
        world.set_channel(x, y, kHostChannel[s], v);
      }
    }
  return world;
}

Image ImageFromWorld(const HostWorld& world) {
  Image image = MakeImage("output", world.width(), world.height(), world.deep() ? 16 : 8);
  static const int kHostChannel[4] = {1, 2, 3, 0};
  for (int y = 0; y < world.height(); ++y)
    for (int x = 0; x < world.width(); ++x) {
      uint16_t* p = image.pixel(x, y);
      for (int s = 0; s < 4; ++s) {
        const uint16_t v = world.channel(x, y, kHostChannel[s]);
        p[s] = world.deep() ? World16ToFile16(v) : v;
      }
    }
  return image;
}

}  // namespace qfhost

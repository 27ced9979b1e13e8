// Images as the host hands them to the plug-in: PF_EffectWorld records over
// pixels in host order (alpha, red, green, blue), 8 bits a channel or, in deep
// worlds, 16 bits with 0..32768. Every row is longer than its pixels: the
// padding holds a guard pattern, so that a plug-in that ignores rowbytes or
// writes past a row's end is noticed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "AE_Effect.h"
#include "qf_host/image.h"

namespace qfhost {

class HostWorld {
 public:
  // Padding after every row's pixels.
  static constexpr int kPadPixels = 3;
  static constexpr uint8_t kGuardByte = 0xA5;

  // A cleared (all channels 0) world; throws HostError for a size beyond
  // kMaxImageSide or when the memory cannot be had.
  HostWorld(int width, int height, bool deep);
  HostWorld(HostWorld&&) = default;
  HostWorld& operator=(HostWorld&&) = default;
  HostWorld(const HostWorld&) = delete;
  HostWorld& operator=(const HostWorld&) = delete;

  PF_EffectWorld* world() { return &world_; }
  const PF_EffectWorld* world() const { return &world_; }
  int width() const { return world_.width; }
  int height() const { return world_.height; }
  bool deep() const { return (world_.world_flags & PF_WorldFlag_DEEP) != 0; }

  // Channel c (0 alpha, 1 red, 2 green, 3 blue) of pixel (x, y).
  uint16_t channel(int x, int y, int c) const;
  void set_channel(int x, int y, int c, uint16_t value);

  // Whether every padding byte still holds the guard pattern.
  bool PaddingIntact() const;

 private:
  size_t Offset(int x, int y, int c) const;

  std::vector<uint8_t> storage_;
  PF_EffectWorld world_{};
};

// What a render of width x height is taken to need: the host's source and
// output pictures and worlds, and as much again as the worlds for the
// plug-in's working copies, with its depth buffers.
uint64_t RenderMemoryBytes(int width, int height, bool deep);

// The memory the system can still give (bytes), or 0 when it does not say.
uint64_t AvailableMemoryBytes();

// Throws HostError when RenderMemoryBytes exceeds `available` (0: unknown,
// no check).
void CheckRenderMemory(int width, int height, bool deep, uint64_t available);

// The image in host order at the world's depth: 16-bit samples scaled into
// 0..32768 or down to 8 bits, 8-bit samples scaled up for a deep world.
HostWorld WorldFromImage(const Image& image, bool deep);

// The world's pixels as an image of its own depth: 8 bits as they are, 16
// bits scaled from 0..32768 to 0..65535.
Image ImageFromWorld(const HostWorld& world);

}  // namespace qfhost

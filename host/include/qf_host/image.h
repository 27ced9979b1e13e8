// Pictures as the host reads and writes them: straight (unpremultiplied)
// red, green, blue, alpha samples, rows top first, 8 or 16 bits a channel.
// Also the one place for the channel scalings between file depths and world
// depths, and for the limit on picture sizes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qfhost {

struct Image {
  int width = 0;
  int height = 0;
  int bits = 8;                // 8: samples 0..255; 16: samples 0..65535
  std::vector<uint16_t> rgba;  // width * height * 4 samples, pixel by pixel

  uint16_t* pixel(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  const uint16_t* pixel(int x, int y) const {
    return &rgba[(static_cast<size_t>(y) * width + x) * 4];
  }
};

// The largest side of any picture the host makes or reads.
constexpr int kMaxImageSide = 16384;

// Throws HostError unless width x height is a picture the host can hold: each
// side 1 to kMaxImageSide. `what` names the picture in the message.
void CheckImageSize(const std::string& what, long long width, long long height);

// Allocates width x height x 4 samples (zero) at `bits`; throws HostError
// when the size is refused or the memory cannot be had.
Image MakeImage(const std::string& what, int width, int height, int bits);

// Channel scalings, each rounding to the nearest value. A 16-bit world holds
// 0..32768; 16-bit files hold 0..65535.
uint16_t File16ToWorld16(uint16_t v);  // round(v * 32768 / 65535)
uint16_t World16ToFile16(uint16_t v);  // round(v * 65535 / 32768), at most 65535
uint8_t File16ToWorld8(uint16_t v);    // round(v * 255 / 65535)
uint16_t File8ToWorld16(uint8_t v);    // round(v * 32768 / 255)

// A side of `full` pixels at 1 / factor resolution: every started block of
// `factor` pixels gives one.
int DownsampledSide(int full, int factor);

// The image at 1 / factor resolution (factor 1 to 16), DownsampledSide pixels
// each way, at its depth. Each pixel averages its block (the blocks at the
// right and bottom edges may be smaller): alpha plainly, colour weighted by
// alpha so that transparent pixels do not darken the edges, and plainly where
// the whole block is transparent. Rounded to the nearest sample.
Image DownsampleImage(const Image& image, int factor);

// The picture the host renders onto when it is given no source: a soft
// evening sky over hills with a low sun, opaque, 16 bits, the same for the
// same size.
Image BuiltInSource(int width, int height);

}  // namespace qfhost

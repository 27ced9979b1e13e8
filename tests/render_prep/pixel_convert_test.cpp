#include "effect/pixel_convert.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "engine/page_array.h"
#include "engine/qf_engine.h"
#include "page_probe.h"

namespace {

constexpr uint8_t kPad8 = 0xAB;
constexpr uint16_t kPad16 = 0xBEEF;

template <typename Channel>
Channel* Channels(uint8_t* buffer) {
  return reinterpret_cast<Channel*>(buffer);
}

class PixelConvertTest : public ::testing::Test {
 protected:
  void SetUp() override { page_probe::Reset(); }
  void TearDown() override {
    for (uint8_t* block : owned_) VirtualFree(block, 0, MEM_RELEASE);
    EXPECT_EQ(page_probe::Live(), 0);
    __SetDeep(0);
  }
  // The block a conversion allocates when given no target, owned by the test.
  using Conversion = void (*)(uint8_t**, const void*, int32_t, int32_t, int32_t);
  uint8_t* Allocated(Conversion convert, const void* source, int32_t width, int32_t height,
                     int32_t row_length) {
    uint8_t* target = nullptr;
    convert(&target, source, width, height, row_length);
    if (target) owned_.push_back(target);
    return target;
  }

 private:
  std::vector<uint8_t*> owned_;
};

// A 2 x 2 host frame, rows of 12 channels (4 of padding), pixel (x, y) holding
// alpha 10 + k, red 20 + k, green 30 + k, blue 40 + k with k = 100 y + x.
std::vector<uint8_t> HostFrame8() {
  std::vector<uint8_t> host(24, kPad8);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      uint8_t k = uint8_t(100 * y + x);
      uint8_t* p = &host[y * 12 + 4 * x];
      p[0] = 10 + k, p[1] = 20 + k, p[2] = 30 + k, p[3] = 40 + k;
    }
  return host;
}

TEST_F(PixelConvertTest, EightBitFrameGoesToEngineOrderPackedAndComesBack) {
  __SetDeep(0);
  const std::vector<uint8_t> host = HostFrame8();
  uint8_t* engine = Allocated(ConvertToEngineOrder, host.data(), 2, 2, 12);
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(page_probe::Taken(), 1);
  const uint8_t expected[16] = {20,  30,  40,  10,  21,  31,  41,  11,
                                120, 130, 140, 110, 121, 131, 141, 111};
  for (int c = 0; c < 16; ++c) EXPECT_EQ(engine[c], expected[c]) << "channel " << c;
  // The buffer is sized by the host's rows; what lies past the packed rows stays clear.
  for (int c = 16; c < 24; ++c) EXPECT_EQ(engine[c], 0) << "channel " << c;

  std::vector<uint8_t> back(24, kPad8);
  uint8_t* out = back.data();
  ConvertToHostOrder(&out, engine, 2, 2, 12);
  EXPECT_EQ(out, back.data());
  EXPECT_EQ(back, host);  // padding included: it was never written
  EXPECT_EQ(page_probe::Taken(), 1);
}

TEST_F(PixelConvertTest, EightBitTextureReversesTheChannels) {
  __SetDeep(0);
  const std::vector<uint8_t> host = HostFrame8();
  uint8_t* texels = Allocated(ConvertTextureOrder, host.data(), 2, 2, 12);
  ASSERT_NE(texels, nullptr);
  const uint8_t expected[16] = {40,  30,  20,  10,  41,  31,  21,  11,
                                140, 130, 120, 110, 141, 131, 121, 111};
  for (int c = 0; c < 16; ++c) EXPECT_EQ(texels[c], expected[c]) << "channel " << c;
}

TEST_F(PixelConvertTest, SixteenBitValuesPassUnchangedWithHalvedRowLength) {
  __SetDeep(1);
  // One row of 2 pixels in a host row of 24 bytes: 12 channels, 4 of padding.
  const uint16_t host[12] = {32768, 0, 16384, 1, 7, 8, 9, 10, kPad16, kPad16, kPad16, kPad16};
  const int row_length = 24 / 2;
  uint8_t* engine = Allocated(ConvertToEngineOrder, host, 2, 1, row_length);
  ASSERT_NE(engine, nullptr);
  const uint16_t* e = Channels<uint16_t>(engine);
  const uint16_t expected[8] = {0, 16384, 1, 32768, 8, 9, 10, 7};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(e[c], expected[c]) << "channel " << c;

  uint16_t back[12];
  for (uint16_t& v : back) v = kPad16;
  uint8_t* out = reinterpret_cast<uint8_t*>(back);
  ConvertToHostOrder(&out, engine, 2, 1, row_length);
  for (int c = 0; c < 12; ++c) EXPECT_EQ(back[c], host[c]) << "channel " << c;

  uint8_t* texels = Allocated(ConvertTextureOrder, host, 2, 1, row_length);
  ASSERT_NE(texels, nullptr);
  const uint16_t* t = Channels<uint16_t>(texels);
  const uint16_t reversed[8] = {1, 16384, 0, 32768, 10, 9, 8, 7};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(t[c], reversed[c]) << "channel " << c;
}

TEST_F(PixelConvertTest, AllocatedTargetsAreSizedForTheirLayout) {
  // 3 x 2 pixels with host rows of 20 channels.
  std::vector<uint16_t> host(40, 5);
  for (uint8_t deep = 0; deep <= 1; ++deep) {
    __SetDeep(deep);
    const size_t channel = deep ? 2 : 1;
    uint8_t* frame = Allocated(ConvertToEngineOrder, host.data(), 3, 2, 20);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(page_probe::LastSize(), 2 * 20 * channel);
    uint8_t* out = Allocated(ConvertToHostOrder, host.data(), 3, 2, 20);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(page_probe::LastSize(), 2 * 20 * channel);
    uint8_t* texels = Allocated(ConvertTextureOrder, host.data(), 3, 2, 20);
    ASSERT_NE(texels, nullptr);
    EXPECT_EQ(page_probe::LastSize(), 3 * 2 * 4 * channel);
  }
}

TEST_F(PixelConvertTest, GivenTargetsAreWrittenInPlace) {
  __SetDeep(0);
  const std::vector<uint8_t> host = HostFrame8();
  std::vector<uint8_t> engine(16, 0), texels(16, 0);
  uint8_t* e = engine.data();
  uint8_t* t = texels.data();
  ConvertToEngineOrder(&e, host.data(), 2, 2, 12);
  ConvertTextureOrder(&t, host.data(), 2, 2, 12);
  EXPECT_EQ(e, engine.data());
  EXPECT_EQ(t, texels.data());
  EXPECT_EQ(engine[0], 20);
  EXPECT_EQ(texels[0], 40);
  EXPECT_EQ(page_probe::Taken(), 0);
}

TEST_F(PixelConvertTest, ZeroSizesWriteNothing) {
  __SetDeep(0);
  const std::vector<uint8_t> host = HostFrame8();
  std::vector<uint8_t> target(24, kPad8);
  uint8_t* t = target.data();
  ConvertToEngineOrder(&t, host.data(), 0, 2, 12);
  ConvertToHostOrder(&t, host.data(), 2, 0, 12);
  ConvertTextureOrder(&t, host.data(), 0, 0, 12);
  CopyPixelRows(t, host.data(), 0, 2, 12, 12, false);
  CopyPixelRows(t, host.data(), 2, 0, 12, 12, false);
  EXPECT_EQ(target, std::vector<uint8_t>(24, kPad8));

  // Nothing to hold: no buffer is taken and the target stays null.
  uint8_t* none = nullptr;
  ConvertToEngineOrder(&none, host.data(), 2, 0, 12);
  ConvertTextureOrder(&none, host.data(), 0, 2, 12);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(page_probe::Taken(), 0);
}

TEST_F(PixelConvertTest, RefusedAllocationLeavesTargetNull) {
  __SetDeep(0);
  const std::vector<uint8_t> host = HostFrame8();
  for (int k = 0; k < 3; ++k) {
    page_probe::Reset();
    page_probe::FailAt(1);
    uint8_t* target = nullptr;
    if (k == 0) ConvertToEngineOrder(&target, host.data(), 2, 2, 12);
    if (k == 1) ConvertToHostOrder(&target, host.data(), 2, 2, 12);
    if (k == 2) ConvertTextureOrder(&target, host.data(), 2, 2, 12);
    EXPECT_EQ(target, nullptr) << "routine " << k;
  }
}

TEST_F(PixelConvertTest, CopyPixelRowsKeepsOrderBetweenDifferentRowLengths) {
  // 8 bits: source rows of 12 channels, destination rows of 10.
  const std::vector<uint8_t> source = HostFrame8();
  std::vector<uint8_t> destination(20, kPad8);
  CopyPixelRows(destination.data(), source.data(), 2, 2, 10, 12, false);
  for (int y = 0; y < 2; ++y) {
    for (int c = 0; c < 8; ++c) EXPECT_EQ(destination[y * 10 + c], source[y * 12 + c]);
    EXPECT_EQ(destination[y * 10 + 8], kPad8);
    EXPECT_EQ(destination[y * 10 + 9], kPad8);
  }

  // 16 bits: one pixel a row, destination rows of 6 channels, source rows of 4.
  const uint16_t deep_source[8] = {32768, 1, 2, 3, 4, 5, 6, 7};
  uint16_t deep_destination[12];
  for (uint16_t& v : deep_destination) v = kPad16;
  CopyPixelRows(deep_destination, deep_source, 1, 2, 6, 4, true);
  const uint16_t expected[12] = {32768, 1, 2, 3, kPad16, kPad16, 4, 5, 6, 7, kPad16, kPad16};
  for (int c = 0; c < 12; ++c) EXPECT_EQ(deep_destination[c], expected[c]) << "channel " << c;
}

// A frame large enough to be shared among the worker threads in parts of
// rows, with padded host rows of another length than the copy's: every
// channel lands where one pass over the rows puts it, and no padding is
// written.
template <typename Channel>
void ExpectLargeFrameConverted(bool deep) {
  __SetDeep(deep ? 1 : 0);
  constexpr int kWidth = 61, kHeight = 301;
  constexpr int kHostRow = 4 * kWidth + 8, kCopyRow = 4 * kWidth + 4;
  const Channel pad = deep ? Channel(kPad16) : Channel(kPad8);
  auto value = [](int x, int y, int c) { return Channel((x * 7 + y * 13 + c * 3) % 251); };
  std::vector<Channel> host(size_t(kHostRow) * kHeight, pad);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      for (int c = 0; c < 4; ++c) host[size_t(y) * kHostRow + 4 * x + c] = value(x, y, c);

  uint8_t* engine = nullptr;
  ConvertToEngineOrder(&engine, host.data(), kWidth, kHeight, kHostRow);
  const PageArray<uint8_t> engine_pages(engine);
  ASSERT_NE(engine, nullptr);
  uint8_t* texels = nullptr;
  ConvertTextureOrder(&texels, host.data(), kWidth, kHeight, kHostRow);
  const PageArray<uint8_t> texel_pages(texels);
  ASSERT_NE(texels, nullptr);
  const Channel* e = Channels<Channel>(engine);
  const Channel* t = Channels<Channel>(texels);
  long wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const size_t i = (size_t(y) * kWidth + x) * 4;
      for (int c = 0; c < 4; ++c) {
        wrong += e[i + c] != value(x, y, (c + 1) % 4);  // red, green, blue, alpha
        wrong += t[i + c] != value(x, y, 3 - c);
      }
    }
  EXPECT_EQ(wrong, 0);

  std::vector<Channel> back(host.size(), pad);
  uint8_t* out = reinterpret_cast<uint8_t*>(back.data());
  ConvertToHostOrder(&out, engine, kWidth, kHeight, kHostRow);
  EXPECT_TRUE(back == host) << "every pixel back in place, padding untouched";

  std::vector<Channel> copy(size_t(kCopyRow) * kHeight, pad);
  CopyPixelRows(copy.data(), host.data(), kWidth, kHeight, kCopyRow, kHostRow, deep);
  for (int y = 0; y < kHeight; ++y)
    for (int c = 0; c < kCopyRow; ++c)
      wrong +=
          copy[size_t(y) * kCopyRow + c] != (c < 4 * kWidth ? host[size_t(y) * kHostRow + c] : pad);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(page_probe::Taken(), 2);
}

TEST_F(PixelConvertTest, LargeFramesConvertInPartsOfRows) {
  ExpectLargeFrameConverted<uint8_t>(false);
  page_probe::Reset();
  ExpectLargeFrameConverted<uint16_t>(true);
}

}  // namespace

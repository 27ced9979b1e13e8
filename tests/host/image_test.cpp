// Pictures in and out: PNG files of every colour type, the channel scalings
// between file and world depths, and the padded worlds the plug-in draws in.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "memory_cap.h"
#include "qf_host/host_error.h"
#include "qf_host/image.h"
#include "qf_host/png_io.h"
#include "qf_host/world.h"
#include "temp_files.h"
#include "test_png.h"

namespace {

using qfhost::HostError;
using qfhost::HostWorld;
using qfhost::Image;
using qfhost_test::Put16;
using qfhost_test::TestPng;

::testing::AssertionResult ThrowsContaining(const std::function<void()>& f,
                                            const std::string& text) {
  try {
    f();
  } catch (const HostError& e) {
    if (std::string(e.what()).find(text) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "message \"" << e.what() << "\" lacks \"" << text << "\"";
  }
  return ::testing::AssertionFailure() << "no HostError";
}

// Every sample distinct enough that a swapped channel or row shows.
Image Pattern(int width, int height, int bits) {
  Image im = qfhost::MakeImage("pattern", width, height, bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 4; ++c)
        im.pixel(x, y)[c] = static_cast<uint16_t>(
            (x * 37 + y * 101 + c * 53 + (bits == 16 ? x * 977 : 0)) % (bits == 16 ? 65536 : 256));
  return im;
}

TEST(Png, RoundTripKeepsEverySample) {
  for (int bits : {8, 16}) {
    const Image in = Pattern(13, 7, bits);
    const std::string path = qfhost_test::TempFile(std::to_string(bits) + ".png");
    qfhost::WritePng(path, in);
    const Image out = qfhost::ReadPng(path);
    EXPECT_EQ(out.width, 13);
    EXPECT_EQ(out.height, 7);
    EXPECT_EQ(out.bits, bits);
    EXPECT_EQ(out.rgba, in.rgba) << bits << " bits";
  }
}

TEST(Png, ReadsEveryColourTypeAsRgba) {
  struct Case {
    const char* label;
    TestPng png;
    int bits;
    std::vector<uint16_t> first_pixel, second_pixel;
  };
  std::vector<Case> cases;
  {
    TestPng p{2, 1, 8, PNG_COLOR_TYPE_GRAY};
    p.rows = {10, 200};
    cases.push_back({"grey 8", p, 8, {10, 10, 10, 255}, {200, 200, 200, 255}});
  }
  {
    TestPng p{2, 1, 16, PNG_COLOR_TYPE_GRAY};
    Put16(p.rows, 1000);
    Put16(p.rows, 65535);
    cases.push_back({"grey 16", p, 16, {1000, 1000, 1000, 65535}, {65535, 65535, 65535, 65535}});
  }
  {
    TestPng p{2, 1, 1, PNG_COLOR_TYPE_GRAY};
    p.rows = {0x40};  // 0 then 1
    cases.push_back({"grey 1", p, 8, {0, 0, 0, 255}, {255, 255, 255, 255}});
  }
  {
    TestPng p{2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA};
    p.rows = {10, 20, 30, 40};
    cases.push_back({"grey alpha 8", p, 8, {10, 10, 10, 20}, {30, 30, 30, 40}});
  }
  {
    TestPng p{2, 1, 8, PNG_COLOR_TYPE_RGB};
    p.rows = {1, 2, 3, 4, 5, 6};
    cases.push_back({"RGB 8", p, 8, {1, 2, 3, 255}, {4, 5, 6, 255}});
  }
  {
    TestPng p{2, 1, 16, PNG_COLOR_TYPE_RGB};
    for (uint16_t v : {1, 2, 3, 40000, 50000, 60000}) Put16(p.rows, v);
    cases.push_back({"RGB 16", p, 16, {1, 2, 3, 65535}, {40000, 50000, 60000, 65535}});
  }
  {
    TestPng p{2, 1, 16, PNG_COLOR_TYPE_RGBA};
    for (uint16_t v : {1, 2, 3, 4, 65535, 0, 32768, 7}) Put16(p.rows, v);
    cases.push_back({"RGBA 16", p, 16, {1, 2, 3, 4}, {65535, 0, 32768, 7}});
  }
  {
    TestPng p{2, 1, 8, PNG_COLOR_TYPE_PALETTE};
    p.palette = {{9, 8, 7}, {250, 251, 252}};
    p.palette_alpha = {100};  // entry 1 stays opaque
    p.rows = {1, 0};
    cases.push_back({"palette with transparency", p, 8, {250, 251, 252, 255}, {9, 8, 7, 100}});
  }
  {
    TestPng p{2, 2, 8, PNG_COLOR_TYPE_RGB};
    p.interlaced = true;
    p.rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    cases.push_back({"interlaced RGB", p, 8, {1, 2, 3, 255}, {4, 5, 6, 255}});
  }
  for (const Case& c : cases) {
    const std::string path = qfhost_test::TempFile(std::string(c.label) + ".png");
    ASSERT_TRUE(qfhost_test::WriteTestPng(path, c.png)) << c.label;
    const Image im = qfhost::ReadPng(path);
    EXPECT_EQ(im.bits, c.bits) << c.label;
    ASSERT_EQ(im.width, c.png.width) << c.label;
    EXPECT_EQ(std::vector<uint16_t>(im.pixel(0, 0), im.pixel(0, 0) + 4), c.first_pixel) << c.label;
    EXPECT_EQ(std::vector<uint16_t>(im.pixel(1, 0), im.pixel(1, 0) + 4), c.second_pixel) << c.label;
  }
}

TEST(Png, InterlacedPassesCombineIntoEveryRow) {
  const Image in = Pattern(13, 7, 16);
  TestPng p{13, 7, 16, PNG_COLOR_TYPE_RGBA};
  p.interlaced = true;
  for (uint16_t v : in.rgba) Put16(p.rows, v);
  const std::string path = qfhost_test::TempFile("interlaced16.png");
  ASSERT_TRUE(qfhost_test::WriteTestPng(path, p));
  EXPECT_EQ(qfhost::ReadPng(path).rgba, in.rgba);
}

TEST(Png, RefusesWhatItCannotRead) {
  const std::string text = qfhost_test::TempFile("text.png");
  std::ofstream(text) << "hello, not a picture\n";

  const std::string truncated = qfhost_test::TempFile("truncated.png");
  {
    const std::string whole = qfhost_test::TempFile("whole.png");
    qfhost::WritePng(whole, Pattern(64, 64, 8));
    std::ifstream in(whole, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  }

  const std::string huge = qfhost_test::TempFile("huge.png");
  TestPng wide{qfhost::kMaxImageSide + 1, 1, 8, PNG_COLOR_TYPE_GRAY};
  wide.rows.assign(wide.width, 0);
  ASSERT_TRUE(qfhost_test::WriteTestPng(huge, wide));

  EXPECT_TRUE(ThrowsContaining([&] { qfhost::ReadPng(qfhost_test::TempFile("missing.png")); },
                               "No such file"));
  EXPECT_TRUE(ThrowsContaining([&] { qfhost::ReadPng(text); }, "not a PNG file"));
  EXPECT_TRUE(ThrowsContaining([&] { qfhost::ReadPng(truncated); }, "damaged PNG"));
  EXPECT_TRUE(ThrowsContaining([&] { qfhost::ReadPng(huge); }, "16385 x 1 is outside"));
}

void Put32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift & 0xFF);
}

// A PNG chunk: length, type, data and checksum.
std::string Chunk(const char* type, const std::string& data) {
  const std::string body = std::string(type, 4) + data;
  std::string out;
  Put32(out, static_cast<uint32_t>(data.size()));
  out += body;
  Put32(out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
  return out;
}

// A whole PNG of a few dozen bytes whose header declares a side x side RGBA
// picture and whose data is one short zlib stream.
std::string TinyPngDeclaring(uint32_t side, int bits) {
  std::string ihdr;
  Put32(ihdr, side);
  Put32(ihdr, side);
  ihdr += std::string{static_cast<char>(bits), 6, 0, 0, 0};  // RGBA, deflate, no interlace
  const unsigned char zeros[16] = {};
  unsigned char packed[64];
  uLongf packed_size = sizeof packed;
  compress(packed, &packed_size, zeros, sizeof zeros);
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) +
         Chunk("IDAT", std::string(reinterpret_cast<char*>(packed), packed_size)) +
         Chunk("IEND", "");
}

// A cap on qf-host's address space, well below the picture the crafted files declare.
const std::string kMemoryCap = qfhost_test::MemoryCap(1000);

TEST(Png, RefusesAFileTooSmallForTheSizeItDeclares) {
  for (int bits : {8, 16}) {
    const std::string path = qfhost_test::TempFile("tiny" + std::to_string(bits) + ".png");
    const std::string bytes = TinyPngDeclaring(16384, bits);
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_TRUE(
        ThrowsContaining([&] { qfhost::ReadPng(path); },
                         "damaged PNG (" + std::to_string(bytes.size()) +
                             " bytes cannot hold the 16384 x 16384 picture its header declares)"));
    // The same through qf-host as source and as reflection, with far less
    // memory than the declared picture would take: refused, not exhausted.
    for (const char* option : {"--source", "--size 32x18 --reflection"}) {
      const std::string err = qfhost_test::TempFile("tiny.err");
      const std::string command = kMemoryCap + "'" + QF_HOST_EXE + "' render floral " + option +
                                  " '" + path + "' -o '" + qfhost_test::TempFile("tiny_out.png") +
                                  "' 2>'" + err + "'";
      EXPECT_NE(std::system(command.c_str()), 0) << option;
      std::ifstream in(err);
      const std::string message((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
      EXPECT_NE(message.find("bytes cannot hold the 16384 x 16384 picture"), std::string::npos)
          << option << message;
      EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
  }
  // A small picture whose file is tiny beside its data is still read.
  TestPng flat{1024, 1024, 8, PNG_COLOR_TYPE_GRAY};
  flat.rows.assign(1024 * 1024, 7);
  const std::string path = qfhost_test::TempFile("flat.png");
  ASSERT_TRUE(qfhost_test::WriteTestPng(path, flat));
  EXPECT_EQ(qfhost::ReadPng(path).pixel(1023, 1023)[0], 7);
}

// The most memory (KiB) a process was resident in while it ran `f`.
long PeakKibibytesOf(const std::function<void()>& f) {
  const pid_t child = fork();
  if (child == 0) {
    try {
      f();
    } catch (const HostError&) {
    }
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
  return usage.ru_maxrss;
}

TEST(Png, ChunksBesideThePictureAreSkippedUnread) {
  TestPng grey{4, 4, 8, PNG_COLOR_TYPE_GRAY};
  grey.rows.assign(16, 9);
  const std::string plain = qfhost_test::TempFile("plain.png");
  ASSERT_TRUE(qfhost_test::WriteTestPng(plain, grey));
  std::ifstream in(plain, std::ios::binary);
  const std::string picture((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t after_header = 8 + 25;  // signature, IHDR
  const auto with_chunk = [&](const std::string& chunk) {
    const std::string path = qfhost_test::TempFile("chunk.png");
    std::ofstream(path, std::ios::binary)
        << picture.substr(0, after_header) + chunk + picture.substr(after_header);
    return path;
  };
  // A text chunk that claims 1.4 GB in a file of a hundred bytes: damaged,
  // and found so without taking what it claims.
  std::string claim;
  Put32(claim, 0x5400003c);
  const std::string claiming = with_chunk(claim + "zTXtComment");
  EXPECT_TRUE(ThrowsContaining([&] { qfhost::ReadPng(claiming); }, "damaged PNG"));
  const long before = PeakKibibytesOf([] {});
  const long reading = PeakKibibytesOf([&] { qfhost::ReadPng(claiming); });
  ASSERT_GT(before, 0);
  EXPECT_LT(reading - before, 64 << 10) << "KiB resident beyond an idle process";
  // A text chunk that inflates to 9 MB makes no difference to the picture.
  std::string text = std::string("Comment") + '\0' + '\0';
  const std::string inflated(9 << 20, 'a');
  std::vector<Bytef> packed(compressBound(inflated.size()));
  uLongf packed_size = packed.size();
  ASSERT_EQ(compress(packed.data(), &packed_size, reinterpret_cast<const Bytef*>(inflated.data()),
                     inflated.size()),
            Z_OK);
  text.append(reinterpret_cast<const char*>(packed.data()), packed_size);
  const Image image = qfhost::ReadPng(with_chunk(Chunk("zTXt", text)));
  EXPECT_EQ(image.rgba, qfhost::ReadPng(plain).rgba);
  EXPECT_EQ(image.pixel(3, 3)[0], 9);
}

TEST(Png, FailedWriteLeavesNoFile) {
  EXPECT_TRUE(
      ThrowsContaining([] { qfhost::WritePng("/nonexistent-folder/out.png", Pattern(2, 2, 8)); },
                       "cannot write /nonexistent-folder/out.png"));
}

TEST(ChannelScaling, SixteenBitFilesMapOntoTheWorldRange) {
  EXPECT_EQ(qfhost::File16ToWorld16(0), 0);
  EXPECT_EQ(qfhost::File16ToWorld16(65535), 32768);
  EXPECT_EQ(qfhost::File16ToWorld16(2), 1);          // 1.00002
  EXPECT_EQ(qfhost::File16ToWorld16(32767), 16384);  // 16383.75
  EXPECT_EQ(qfhost::World16ToFile16(32768), 65535);
  EXPECT_EQ(qfhost::World16ToFile16(1), 2);          // 1.99997
  EXPECT_EQ(qfhost::World16ToFile16(16384), 32768);  // 32767.5 rounds up
  EXPECT_EQ(qfhost::World16ToFile16(40000), 65535);  // beyond the world range
  // Every world value survives the trip to a file and back.
  for (unsigned v = 0; v <= 32768; ++v)
    ASSERT_EQ(qfhost::File16ToWorld16(qfhost::World16ToFile16(static_cast<uint16_t>(v))), v);
  EXPECT_EQ(qfhost::File16ToWorld8(65535), 255);
  EXPECT_EQ(qfhost::File16ToWorld8(128), 0);  // 0.498
  EXPECT_EQ(qfhost::File16ToWorld8(129), 1);  // 0.502
  EXPECT_EQ(qfhost::File8ToWorld16(255), 32768);
  EXPECT_EQ(qfhost::File8ToWorld16(1), 129);  // 128.5 rounds up
}

TEST(HostWorld, RowsArePaddedAndGuarded) {
  for (bool deep : {false, true}) {
    HostWorld w(5, 3, deep);
    const A_long channel = deep ? 2 : 1;
    const PF_EffectWorld* pf = w.world();
    EXPECT_EQ(pf->width, 5);
    EXPECT_EQ(pf->height, 3);
    EXPECT_GT(pf->rowbytes, 4 * 5 * channel);
    EXPECT_EQ(pf->rowbytes % (4 * channel), 0);
    EXPECT_EQ((pf->world_flags & PF_WorldFlag_DEEP) != 0, deep);
    EXPECT_TRUE(w.PaddingIntact());

    // Channels land at rowbytes * y + (4 x + c) channels, alpha first.
    w.set_channel(4, 2, 3, deep ? 32768 : 255);
    const auto* base = static_cast<const uint8_t*>(pf->data);
    const uint8_t* at = base + pf->rowbytes * 2 + (4 * 4 + 3) * channel;
    EXPECT_EQ(deep ? *reinterpret_cast<const uint16_t*>(at) : *at, deep ? 32768 : 255);
    EXPECT_TRUE(w.PaddingIntact());

    // A write just past the last pixel of a row is caught.
    static_cast<uint8_t*>(w.world()->data)[pf->rowbytes * 1 + 4 * 5 * channel] = 0;
    EXPECT_FALSE(w.PaddingIntact());
  }
}

TEST(HostWorld, ImagesEnterInHostOrderAtTheWorldDepth) {
  Image im = qfhost::MakeImage("test", 2, 1, 16);
  const uint16_t px[8] = {65535, 32767, 0, 2, 1, 2, 3, 4};
  std::copy(px, px + 8, im.rgba.begin());

  const HostWorld deep = qfhost::WorldFromImage(im, true);
  // Host order is alpha, red, green, blue.
  EXPECT_EQ(deep.channel(0, 0, 0), 1);
  EXPECT_EQ(deep.channel(0, 0, 1), 32768);
  EXPECT_EQ(deep.channel(0, 0, 2), 16384);
  EXPECT_EQ(deep.channel(0, 0, 3), 0);
  EXPECT_EQ(deep.channel(1, 0, 1), 1);

  const HostWorld shallow = qfhost::WorldFromImage(im, false);
  EXPECT_EQ(shallow.channel(0, 0, 1), 255);
  EXPECT_EQ(shallow.channel(0, 0, 2), 127);  // 127.498

  Image eight = qfhost::MakeImage("test", 1, 1, 8);
  eight.rgba = {255, 128, 0, 255};
  const HostWorld up = qfhost::WorldFromImage(eight, true);
  EXPECT_EQ(up.channel(0, 0, 0), 32768);
  EXPECT_EQ(up.channel(0, 0, 1), 32768);
  EXPECT_EQ(up.channel(0, 0, 2), 16448);  // 128 * 32768 / 255 = 16448.25

  // Out again at the world's depth, with 16 bits scaled back to the file range.
  const Image back = qfhost::ImageFromWorld(deep);
  EXPECT_EQ(back.bits, 16);
  EXPECT_EQ(std::vector<uint16_t>(back.rgba.begin(), back.rgba.begin() + 4),
            (std::vector<uint16_t>{65535, 32768, 0, 2}));
  const Image back8 = qfhost::ImageFromWorld(shallow);
  EXPECT_EQ(back8.bits, 8);
  EXPECT_EQ(std::vector<uint16_t>(back8.rgba.begin(), back8.rgba.begin() + 4),
            (std::vector<uint16_t>{255, 127, 0, 0}));
}

TEST(Sizes, RefusedBeforeAnythingIsAllocated) {
  EXPECT_TRUE(ThrowsContaining([] { HostWorld(0, 10, false); },
                               "0 x 10 is outside 1 x 1 to 16384 x 16384"));
  EXPECT_TRUE(
      ThrowsContaining([] { qfhost::MakeImage("pic", 10, 16385, 8); }, "pic: size 10 x 16385"));
  EXPECT_TRUE(ThrowsContaining([] { qfhost::CheckImageSize("x", -1, 5); }, "outside"));

  // The memory check compares with what the system says it has.
  const uint64_t need = qfhost::RenderMemoryBytes(16384, 16384, true);
  EXPECT_GT(need, 4ull << 30);
  EXPECT_NO_THROW(qfhost::CheckRenderMemory(16384, 16384, true, need));
  EXPECT_NO_THROW(qfhost::CheckRenderMemory(16384, 16384, true, 0));  // unknown
  EXPECT_TRUE(ThrowsContaining([&] { qfhost::CheckRenderMemory(16384, 16384, true, need - 1); },
                               "a 16384 x 16384 16-bit render needs about"));
}

TEST(Downsample, BlocksAverageWithAlphaWeightingAndPartialEdges) {
  EXPECT_EQ(qfhost::DownsampledSide(1920, 2), 960);
  EXPECT_EQ(qfhost::DownsampledSide(1919, 2), 960);
  EXPECT_EQ(qfhost::DownsampledSide(1080, 3), 360);
  EXPECT_EQ(qfhost::DownsampledSide(1, 4), 1);

  // 3 x 3 at half size: a 2 x 2 block, two 2 x 1 edge blocks and a corner pixel.
  Image im = qfhost::MakeImage("source", 3, 3, 8);
  const auto set = [&](int x, int y, uint16_t r, uint16_t g, uint16_t b, uint16_t a) {
    uint16_t* p = im.pixel(x, y);
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
  };
  set(0, 0, 200, 0, 0, 255);
  set(1, 0, 255, 255, 255, 0);  // transparent white: must not lighten the block
  set(0, 1, 100, 0, 0, 255);
  set(1, 1, 255, 255, 255, 0);
  set(2, 0, 10, 20, 30, 40);  // right edge block: (2,0) and (2,1)
  set(2, 1, 11, 21, 31, 40);
  set(0, 2, 7, 7, 7, 0);  // bottom edge block, wholly transparent
  set(1, 2, 8, 9, 10, 0);
  set(2, 2, 1, 2, 3, 4);
  const Image half = qfhost::DownsampleImage(im, 2);
  ASSERT_EQ(half.width, 2);
  ASSERT_EQ(half.height, 2);
  EXPECT_EQ(half.bits, 8);
  const auto px = [&](int x, int y) {
    const uint16_t* p = half.pixel(x, y);
    return std::vector<int>{p[0], p[1], p[2], p[3]};
  };
  EXPECT_EQ(px(0, 0), (std::vector<int>{150, 0, 0,
                                        128}));  // colour of the opaque two, alpha 127.5 rounded up
  EXPECT_EQ(px(1, 0), (std::vector<int>{11, 21, 31, 40}));  // 10.5 and the like round up
  EXPECT_EQ(px(0, 1), (std::vector<int>{8, 8, 9, 0}));      // plain averages where nothing shows
  EXPECT_EQ(px(1, 1), (std::vector<int>{1, 2, 3, 4}));

  // 16-bit samples stay 16-bit; factor 1 is the picture itself.
  const Image deep = Pattern(5, 4, 16);
  EXPECT_EQ(qfhost::DownsampleImage(deep, 1).rgba, deep.rgba);
  const Image quarter = qfhost::DownsampleImage(deep, 4);
  EXPECT_EQ(quarter.bits, 16);
  EXPECT_EQ(quarter.width, 2);
  EXPECT_EQ(quarter.height, 1);
  EXPECT_TRUE(ThrowsContaining([&] { qfhost::DownsampleImage(deep, 0); }, "not offered"));
}

TEST(BuiltInSource, OpaqueVariedAndTheSameEveryTime) {
  const Image a = qfhost::BuiltInSource(96, 54);
  const Image b = qfhost::BuiltInSource(96, 54);
  EXPECT_EQ(a.bits, 16);
  EXPECT_EQ(a.rgba, b.rgba);
  uint16_t lo = 65535, hi = 0;
  for (size_t i = 0; i < a.rgba.size(); i += 4) {
    ASSERT_EQ(a.rgba[i + 3], 65535);
    lo = std::min(lo, a.rgba[i]);
    hi = std::max(hi, a.rgba[i]);
  }
  EXPECT_GT(hi - lo, 20000);  // a picture, not a flat fill
  // Sizes with odd aspects still work.
  EXPECT_EQ(qfhost::BuiltInSource(1, 300).rgba.size(), 1200u);
}

}  // namespace

#include <array>
#include <cstdint>
#include <set>
#include <utility>

#include "engine/scratch.h"
#include "engine_state.h"

namespace {

using Px = std::array<unsigned, 4>;
using Pixels = std::set<std::pair<int, int>>;

// A 3 x 2 frame of either depth inside larger storage: a guard row above
// and below and a padding pixel at the end of each row (the stride is four
// pixels), so that a write outside the frame shows.
class Scratch : public EngineState {
 protected:
  enum Buffer { kScratch, kOut, kLast, kUnder, kBuffers };
  static constexpr int kStride = 16;
  static constexpr int kRows = 4;
  using Storage = std::array<uint16_t, kStride * kRows>;

  void SetUp() override {
    EngineState::SetUp();
    saved_ = {__ScratchLayer, __MergeLast, __MergeUnder};
    Zwidth = 3;
    Zheight = 2;
    __RowBytes = kStride;
    __MaxChannel = 255;
    Attach();
  }
  void TearDown() override {
    __ScratchLayer = saved_[0];
    __MergeLast = saved_[1];
    __MergeUnder = saved_[2];
    EngineState::TearDown();
  }
  void Use16Bit() {
    _Deep = 1;
    __MaxChannel = 32768;
    Attach();
  }

  // The frame's first value in the current depth: one row into the storage.
  unsigned char* Image(Buffer b) {
    return reinterpret_cast<unsigned char*>(store_[b].data()) + kStride * (_Deep != 0 ? 2 : 1);
  }
  Px At(Buffer b, int x, int y) {
    Px p;
    for (int c = 0; c < 4; ++c) {
      const int i = y * kStride + 4 * x + c;
      p[c] = _Deep != 0 ? reinterpret_cast<uint16_t*>(Image(b))[i] : Image(b)[i];
    }
    return p;
  }
  void Set(Buffer b, int x, int y, Px p) {
    for (int c = 0; c < 4; ++c) {
      const int i = y * kStride + 4 * x + c;
      if (_Deep != 0)
        reinterpret_cast<uint16_t*>(Image(b))[i] = static_cast<uint16_t>(p[c]);
      else
        Image(b)[i] = static_cast<unsigned char>(p[c]);
    }
  }
  // Every pixel of the storage, frame coordinates, filled with p.
  void Fill(Buffer b, Px p) {
    for (int y = -1; y < kRows - 1; ++y)
      for (int x = 0; x < 4; ++x) Set(b, x, y, p);
  }

  // Draws one triangle's pixel into the scratch layer and merges it.
  void MergeOne(int x, int y, Px s) {
    __ClearScratchRect(0, 0, 3, 2);
    Set(kScratch, x, y, s);
    __MergeScratchRect(Image(kOut), x - 1, y - 1, x + 2, y + 2);
  }

  // Pixels, in frame coordinates, where any buffer changed since the last call.
  Pixels Changed() {
    Pixels changed;
    const int value_bytes = _Deep != 0 ? 2 : 1;
    for (int b = 0; b < kBuffers; ++b) {
      const auto* now = reinterpret_cast<const unsigned char*>(store_[b].data());
      const auto* was = reinterpret_cast<const unsigned char*>(before_[b].data());
      for (int j = 0; j < kStride * kRows * value_bytes; ++j)
        if (now[j] != was[j]) {
          const int v = j / value_bytes;
          changed.insert({v % kStride / 4, v / kStride - 1});
        }
    }
    before_ = store_;
    return changed;
  }

 private:
  void Attach() {
    __ScratchLayer = Image(kScratch);
    __MergeLast = Image(kLast);
    __MergeUnder = Image(kUnder);
  }
  std::array<unsigned char*, 3> saved_{};
  std::array<Storage, kBuffers> store_{};
  std::array<Storage, kBuffers> before_{};
};

using Merge = Scratch;

TEST_F(Merge, UncoveredFullAndOverEmptyPixels) {
  Set(kOut, 0, 0, {1, 2, 3, 4});
  Set(kLast, 0, 0, {5, 6, 7, 8});
  Set(kUnder, 0, 0, {9, 10, 11, 12});
  MergeOne(0, 0, {200, 160, 120, 0});
  EXPECT_EQ(At(kOut, 0, 0), (Px{1, 2, 3, 4}));
  EXPECT_EQ(At(kLast, 0, 0), (Px{5, 6, 7, 8}));
  EXPECT_EQ(At(kUnder, 0, 0), (Px{9, 10, 11, 12}));

  // Full coverage: the colour exactly, whatever lay there; the recorded
  // coverage stays.
  Set(kOut, 1, 0, {100, 100, 100, 90});
  Set(kLast, 1, 0, {10, 10, 10, 77});
  MergeOne(1, 0, {200, 160, 120, 255});
  EXPECT_EQ(At(kOut, 1, 0), (Px{200, 160, 120, 255}));
  EXPECT_EQ(At(kLast, 1, 0), (Px{200, 160, 120, 77}));
  EXPECT_EQ(At(kUnder, 1, 0), (Px{200, 160, 120, 0}));

  // Over an empty pixel: unblended colour, the coverage as alpha, nothing recorded.
  Set(kOut, 2, 0, {50, 50, 50, 0});
  MergeOne(2, 0, {200, 160, 120, 64});
  EXPECT_EQ(At(kOut, 2, 0), (Px{200, 160, 120, 64}));
  EXPECT_EQ(At(kLast, 2, 0), (Px{0, 0, 0, 0}));
  EXPECT_EQ(At(kUnder, 2, 0), (Px{0, 0, 0, 0}));
}

TEST_F(Merge, AdjacentSameColourTrianglesBlendTheSharedPixelOnce) {
  Set(kOut, 1, 1, {100, 100, 100, 255});
  MergeOne(1, 1, {200, 160, 120, 128});
  EXPECT_EQ(At(kOut, 1, 1), (Px{150, 130, 110, 255}));
  EXPECT_EQ(At(kLast, 1, 1), (Px{200, 160, 120, 128}));
  EXPECT_EQ(At(kUnder, 1, 1)[0], 100u);
  // Blended over the pixel as it stands this would be about S * 3/4 + B / 4.
  MergeOne(1, 1, {200, 160, 120, 128});
  EXPECT_EQ(At(kOut, 1, 1), (Px{150, 130, 110, 255}));
}

TEST_F(Merge, SimilarTriangleTakesTheLargerCoverageOverTheUnderColour) {
  Set(kOut, 0, 1, {100, 100, 100, 100});
  MergeOne(0, 1, {200, 160, 120, 128});
  // 19 apart in red: similar; its smaller coverage is raised to the recorded one.
  MergeOne(0, 1, {219, 141, 120, 60});
  EXPECT_EQ(At(kOut, 0, 1), (Px{159, 120, 110, 128}));
  EXPECT_EQ(At(kLast, 0, 1), (Px{200, 160, 120, 128}));
  EXPECT_EQ(At(kUnder, 0, 1), (Px{100, 100, 100, 0}));
  // A larger coverage replaces the recorded one.
  MergeOne(0, 1, {200, 160, 120, 200});
  EXPECT_EQ(At(kOut, 0, 1), (Px{178, 147, 115, 200}));
  EXPECT_EQ(At(kLast, 0, 1), (Px{200, 160, 120, 200}));
}

TEST_F(Merge, DifferentColourBlendsOverThePixelAndBecomesTheLast) {
  Set(kOut, 2, 1, {100, 100, 100, 255});
  MergeOne(2, 1, {200, 160, 120, 128});
  MergeOne(2, 1, {200, 180, 120, 128});  // 20 apart in green
  EXPECT_EQ(At(kOut, 2, 1), (Px{175, 155, 115, 255}));
  EXPECT_EQ(At(kLast, 2, 1), (Px{200, 180, 120, 128}));
  EXPECT_EQ(At(kUnder, 2, 1), (Px{150, 130, 110, 0}));
}

TEST_F(Merge, SixteenBitDifferencesCountIn256ths) {
  Use16Bit();
  const Px background{10000, 10000, 10000, 32768};
  const Px first{20000, 20000, 20000, 16384};
  for (int x = 0; x < 3; ++x) {
    Set(kOut, x, 0, background);
    MergeOne(x, 0, first);
    EXPECT_EQ(At(kOut, x, 0), (Px{15000, 15000, 15000, 32768}));
  }
  MergeOne(0, 0, {25000, 20000, 20000, 16384});  // 5000 apart: similar
  EXPECT_EQ(At(kOut, 0, 0), (Px{17500, 15000, 15000, 32768}));
  MergeOne(1, 0, {25119, 20000, 20000, 16384});  // just below 20 * 256
  EXPECT_EQ(At(kOut, 1, 0), (Px{17559, 15000, 15000, 32768}));
  MergeOne(2, 0, {25120, 20000, 20000, 16384});  // 5120 apart: not
  EXPECT_EQ(At(kOut, 2, 0), (Px{20060, 17500, 17500, 32768}));
  EXPECT_EQ(At(kLast, 2, 0), (Px{25120, 20000, 20000, 16384}));

  MergeOne(0, 1, {300, 400, 500, 32768});
  EXPECT_EQ(At(kOut, 0, 1), (Px{300, 400, 500, 32768}));
}

using ScratchRect = Scratch;

TEST_F(ScratchRect, ClearTouchesOnlyTheRectangleClippedToTheFrame) {
  for (bool deep : {false, true}) {
    if (deep) Use16Bit();
    Fill(kScratch, {0xAB, 0xAB, 0xAB, 0xAB});
    Changed();
    __ClearScratchRect(1, 0, 3, 1);
    EXPECT_EQ(Changed(), (Pixels{{1, 0}, {2, 0}}));
    EXPECT_EQ(At(kScratch, 2, 0), (Px{0, 0, 0, 0}));
    __ClearScratchRect(2, 0, 1, 2);
    EXPECT_EQ(Changed(), Pixels{});
    __ClearScratchRect(-4, -4, 9, 9);
    EXPECT_EQ(Changed(), (Pixels{{0, 0}, {0, 1}, {1, 1}, {2, 1}}));
  }
}

TEST_F(ScratchRect, MergeTouchesOnlyTheRectangleClippedToTheFrame) {
  for (bool deep : {false, true}) {
    if (deep) Use16Bit();
    Fill(kScratch, {7, 8, 9, static_cast<unsigned>(__MaxChannel)});
    for (Buffer b : {kOut, kLast, kUnder}) Fill(b, {1, 1, 1, 1});
    Changed();
    __MergeScratchRect(Image(kOut), 1, 1, 2, 5);
    EXPECT_EQ(Changed(), (Pixels{{1, 1}}));
    __MergeScratchRect(Image(kOut), -3, -3, 8, 8);
    EXPECT_EQ(Changed(), (Pixels{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}}));
    EXPECT_EQ(At(kOut, 2, 0), (Px{7, 8, 9, static_cast<unsigned>(__MaxChannel)}));
  }
}

}  // namespace

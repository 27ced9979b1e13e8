// Bands of rows: every triangle reaches every band its rows touch, in order,
// drawn with that band's rows and on no more threads than asked for.
#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/bands.h"
#include "engine_state.h"

namespace {

struct Draw {
  int index;
  RowSpan rows;
  std::thread::id thread;
};

class Bands : public EngineState {};

TEST_F(Bands, EachBandDrawsTheItemsReachingItInOrder) {
  constexpr int kHeight = 50;
  Zheight = kHeight;
  // Tall and flat items, items past either end of the frame and one outside it.
  std::vector<BandItem> items;
  for (int i = 0; i < 40; ++i) {
    const int first = (i * 17) % 60 - 6;
    const int last = first + (i % 5 == 0 ? 30 : i % 3);
    items.push_back({i, first, last, 1.0f + static_cast<float>(i % 7)});
  }
  items.push_back({40, 55, 70, 5.0f});

  for (int workers : {1, 2, 3, 8}) {
    std::mutex lock;
    std::vector<Draw> draws;
    DrawInBands(items, kHeight, workers, [&](int index) {
      const std::lock_guard<std::mutex> hold(lock);
      draws.push_back({index, DrawableRows(), std::this_thread::get_id()});
    });

    // Group by band, keeping each band's order of calls.
    std::map<int, std::vector<Draw>> by_band;
    std::set<std::thread::id> threads;
    for (const Draw& d : draws) {
      by_band[d.rows.first].push_back(d);
      threads.insert(d.thread);
    }
    EXPECT_LE(threads.size(), static_cast<size_t>(workers));

    int next_row = 0;
    for (const auto& [first, band] : by_band) {
      const RowSpan rows = band.front().rows;
      EXPECT_EQ(rows.first, next_row) << "bands leave no gap and do not overlap";
      next_row = rows.end;
      std::vector<int> expected;
      for (const BandItem& item : items)
        if (item.firstRow < rows.end && item.lastRow >= rows.first) expected.push_back(item.index);
      std::vector<int> drawn;
      for (const Draw& d : band) {
        EXPECT_EQ(d.rows.end, rows.end);
        EXPECT_EQ(d.thread, band.front().thread) << "a band is drawn by one thread";
        drawn.push_back(d.index);
      }
      EXPECT_EQ(drawn, expected) << workers << " workers, band from row " << rows.first;
    }
    EXPECT_EQ(next_row, kHeight) << workers << " workers";
    const RowSpan after = DrawableRows();
    EXPECT_EQ(after.first, 0);
    EXPECT_EQ(after.end, kHeight);
  }
}

}  // namespace

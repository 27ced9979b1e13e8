// Bands of rows: every triangle reaches every band its rows touch, in order,
// drawn with that band's rows and on no more threads than asked for.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
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
    items.push_back({i, first, last, 1000.0f * (1.0f + static_cast<float>(i % 7))});
  }
  items.push_back({40, 55, 70, 5000.0f});

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
    if (workers > 1) {
      EXPECT_GT(by_band.size(), 1u) << "wide items are worth several bands";
    }
    const RowSpan after = DrawableRows();
    EXPECT_EQ(after.first, 0);
    EXPECT_EQ(after.end, kHeight);
  }
}

// A thin frame whose many narrow items each reach every row: bands would draw
// every item in each of them for next to no work per row, so it is drawn as
// one band, each item once.
TEST_F(Bands, ThinFrameOfItemsReachingEveryRowIsOneBand) {
  constexpr int kHeight = 10;
  Zheight = kHeight;
  std::vector<BandItem> items;
  for (int i = 0; i < 1000; ++i) items.push_back({i, -3, kHeight + 3, 1.0f});
  std::atomic<int> calls{0};
  std::atomic<bool> whole_frame{true};
  DrawInBands(items, kHeight, 8, [&](int) {
    ++calls;
    const RowSpan rows = DrawableRows();
    if (rows.first != 0 || rows.end != kHeight) whole_frame = false;
  });
  EXPECT_EQ(calls, 1000);
  EXPECT_TRUE(whole_frame);
}

// The work shared out around a pass: every index once, in equal parts no more
// than the smallest part size allows, on no more threads than WorkerCount() names
// (CTest runs these with QF_THREADS 1, 2, 3 and the machine's count); with a
// crew open, every stage on the same few threads, the crew's.
TEST(SplitWork, CoversEveryIndexOnceInPartsOnTheWorkers) {
  const size_t workers = static_cast<size_t>(WorkerCount());
  struct Part {
    size_t first, end;
    std::thread::id thread;
  };
  std::set<std::thread::id> crewThreads;
  for (bool crewOpen : {false, true}) {
    std::optional<WorkerCrew> crew;
    if (crewOpen) crew.emplace();
    for (size_t count : {size_t{0}, size_t{1}, size_t{7}, size_t{1000}, size_t{100003}})
      for (size_t minPart : {size_t{1}, size_t{3}, size_t{5000}}) {
        std::mutex lock;
        std::vector<Part> parts;
        std::vector<int> hits(count, 0);
        SplitWork(count, minPart, [&](size_t first, size_t end) {
          for (size_t i = first; i < end; ++i) ++hits[i];  // parts never overlap
          const std::lock_guard<std::mutex> hold(lock);
          parts.push_back({first, end, std::this_thread::get_id()});
        });
        SCOPED_TRACE(::testing::Message() << count << " in parts of " << minPart);
        EXPECT_EQ(std::count(hits.begin(), hits.end(), 1), static_cast<long>(count));
        const size_t most = (count + minPart - 1) / minPart;
        ASSERT_GE(parts.size(), std::min(workers, most));
        ASSERT_LE(parts.size(), workers == 1 ? std::min<size_t>(count, 1) : most);
        std::set<std::thread::id> threads;
        for (const Part& p : parts) {
          EXPECT_LE(p.end - p.first, count / parts.size() + 1) << "parts of equal size";
          EXPECT_GE(p.end - p.first, count / parts.size());
          threads.insert(p.thread);
          if (crewOpen && p.thread != std::this_thread::get_id()) crewThreads.insert(p.thread);
        }
        EXPECT_LE(threads.size(), std::min(workers, most));
      }
  }
  EXPECT_LE(crewThreads.size(), workers - 1) << "a crew keeps its threads from stage to stage";
}

// A stage whose share on the opening thread throws still waits for the crew's
// share before the exception leaves it, and the crew serves the next stage;
// work shared out from within a stage runs too.
TEST(WorkerCrew, SurvivesAThrowingStageAndNestedWork) {
  const WorkerCrew crew;
  const std::thread::id opener = std::this_thread::get_id();
  std::atomic<int> done{0};
  EXPECT_THROW(SplitWork(64, 1,
                         [&](size_t, size_t) {
                           if (std::this_thread::get_id() == opener) throw std::runtime_error("x");
                           std::this_thread::sleep_for(std::chrono::milliseconds(5));
                           ++done;
                         }),
               std::runtime_error);
  const int othersAtThrow = done.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(done.load(), othersAtThrow) << "no part ran on after the stage returned";

  std::atomic<long> outer{0}, inner{0};
  SplitWork(8, 1, [&](size_t, size_t) {
    ++outer;
    SplitWork(100, 1, [&](size_t first, size_t end) { inner += static_cast<long>(end - first); });
  });
  EXPECT_EQ(inner.load(), 100 * outer.load());
}

}  // namespace

#include "engine/bands.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "engine/qf_engine.h"

namespace {

thread_local RowSpan tBand{0, INT_MAX};

// Bands a worker takes on average: more bands than workers let a thread
// that finishes early (or that the machine slows less) take the next one.
constexpr int kBandsPerWorker = 3;
constexpr int kMaxWorkers = 256;

// Rows of `height` cut into `count` bands holding about equal parts of the
// work per row; every band holds at least one row.
std::vector<RowSpan> CutBands(const std::vector<double>& work, int count) {
  const int height = static_cast<int>(work.size());
  double total = 0;
  for (double w : work) total += w;
  std::vector<RowSpan> bands;
  int first = 0;
  double done = 0;
  for (int b = 0; b < count; ++b) {
    const int left = count - b - 1;  // bands still to come after this one
    const double target = total * static_cast<double>(b + 1) / count;
    int end = first + 1;
    done += work[first];
    while (end < height - left && done < target) done += work[end++];
    if (b == count - 1) end = height;
    bands.push_back({first, end});
    first = end;
  }
  return bands;
}

}  // namespace

RowSpan DrawableRows() { return {std::max(tBand.first, 0), std::min(tBand.end, Zheight)}; }

int WorkerCount() {
  if (const char* text = std::getenv("QF_THREADS")) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && n >= 1 && n <= kMaxWorkers) return static_cast<int>(n);
  }
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(std::min<unsigned>(n, kMaxWorkers));
}

void DrawInBands(const std::vector<BandItem>& items, int height, int workers,
                 const std::function<void(int index)>& draw) {
  if (height <= 0) return;

  // Each item's rows within the frame; the work of a row: the widths of the
  // triangles that reach it.
  std::vector<BandItem> reaching;
  reaching.reserve(items.size());
  for (const BandItem& item : items) {
    const int first = std::max(item.firstRow, 0);
    const int last = std::min(item.lastRow, height - 1);
    if (first <= last) reaching.push_back({item.index, first, last, item.width});
  }
  std::vector<double> work(height + 1, 0.0);
  for (const BandItem& item : reaching) {
    work[item.firstRow] += item.width;
    work[item.lastRow + 1] -= item.width;
  }
  double running = 0;
  for (int row = 0; row < height; ++row) work[row] = running += work[row];
  work.pop_back();

  const std::vector<RowSpan> bands = CutBands(work, std::min(height, workers * kBandsPerWorker));
  std::vector<std::vector<int>> bins(bands.size());
  for (const BandItem& item : reaching) {
    auto band = std::upper_bound(bands.begin(), bands.end(), item.firstRow,
                                 [](int row, const RowSpan& b) { return row < b.end; });
    for (; band != bands.end() && band->first <= item.lastRow; ++band)
      bins[band - bands.begin()].push_back(item.index);
  }

  std::atomic<size_t> next{0};
  const auto drawBands = [&] {
    for (size_t b; (b = next.fetch_add(1)) < bands.size();) {
      tBand = bands[b];
      for (int index : bins[b]) draw(index);
    }
    tBand = {0, INT_MAX};
  };
  std::vector<std::thread> threads;
  for (int w = 1; w < workers; ++w) {
    try {
      threads.emplace_back(drawBands);
    } catch (const std::system_error&) {
      break;  // the threads started so far, and this one, draw every band
    }
  }
  drawBands();
  for (std::thread& t : threads) t.join();
}

#include "engine/bands.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/qf_engine.h"

namespace {

thread_local RowSpan tBand{0, INT_MAX};

constexpr int kMaxWorkers = 256;
constexpr size_t kPartsPerWorker = 4;

// The share of the work in each band, in the order the threads take them:
// the first round of bands, one a worker, holds half the work, the second a
// quarter, and two rounds of smaller bands the last quarter. Large bands
// first and small ones last let the threads finish close together even where
// the work estimate is off, with few bands for a triangle to be drawn in
// twice. A frame with fewer rows has one band a row.
std::vector<double> BandShares(int workers, int height) {
  const size_t w = static_cast<size_t>(workers);
  if (static_cast<size_t>(height) < 4 * w) return std::vector<double>(height, 1.0 / height);
  std::vector<double> shares;
  shares.insert(shares.end(), w, 0.5 / static_cast<double>(w));
  shares.insert(shares.end(), w, 0.25 / static_cast<double>(w));
  shares.insert(shares.end(), 2 * w, 0.125 / static_cast<double>(w));
  return shares;
}

// Rows of `height` cut into bands holding about the given shares of the work
// per row, in order; every band holds at least one row.
std::vector<RowSpan> CutBands(const std::vector<double>& work, const std::vector<double>& shares) {
  const int height = static_cast<int>(work.size());
  const int count = static_cast<int>(shares.size());
  double total = 0;
  for (double w : work) total += w;
  std::vector<RowSpan> bands;
  int first = 0;
  double done = 0, share = 0;
  for (int b = 0; b < count; ++b) {
    const int left = count - b - 1;  // bands still to come after this one
    share += shares[b];
    const double target = total * share;
    int end = first + 1;
    done += work[first];
    while (end < height - left && done < target) done += work[end++];
    if (b == count - 1) end = height;
    bands.push_back({first, end});
    first = end;
  }
  return bands;
}

// What drawing an item costs in each band it reaches beyond the work of its
// rows there (its set-up, clipping, the clear and merge of its scratch
// rectangle), in units of that work: about as much as 256 pixels of its rows.
constexpr double kItemCostPerBand = 256.0;
// Threads drawing at once share the memory and its caches: bands are used
// only where their estimate is this many times shorter than one band's.
constexpr double kBandsMustGain = 1.5;

// The bands to draw in: of the cuts for `workers`, half as many, and so on
// down to two, the one whose estimated time is least, or the whole frame as
// one band where none gains enough. Each band costs its rows' work and
// kItemCostPerBand for each item that reaches it; the threads finish no
// sooner than their share of the sum, nor than the dearest band. In thin
// frames whose triangles reach every row, bands would draw each triangle
// many times over for little gain.
std::vector<RowSpan> ChooseBands(const std::vector<BandItem>& reaching,
                                 const std::vector<double>& work, int workers) {
  const int height = static_cast<int>(work.size());
  // Items starting at or before each row, and ending before it.
  std::vector<double> started(height, 0.0), ended(height + 1, 0.0);
  for (const BandItem& item : reaching) {
    started[item.firstRow] += 1.0;
    ended[item.lastRow + 1] += 1.0;
  }
  for (int row = 1; row < height; ++row) started[row] += started[row - 1];
  for (int row = 1; row <= height; ++row) ended[row] += ended[row - 1];
  std::vector<double> work_before(height + 1, 0.0);
  for (int row = 0; row < height; ++row) work_before[row + 1] = work_before[row] + work[row];

  const auto estimate = [&](const std::vector<RowSpan>& bands) {
    double sum = 0, dearest = 0;
    for (const RowSpan& b : bands) {
      const double items = started[b.end - 1] - ended[b.first];
      const double cost = work_before[b.end] - work_before[b.first] + kItemCostPerBand * items;
      sum += cost;
      dearest = std::max(dearest, cost);
    }
    const double threads = static_cast<double>(std::min<size_t>(bands.size(), workers));
    return std::max(sum / threads, dearest);
  };
  std::vector<RowSpan> best = {{0, height}};
  double least = estimate(best) / kBandsMustGain;
  for (int w = workers; w >= 2; w /= 2) {
    std::vector<RowSpan> bands = CutBands(work, BandShares(w, height));
    const double time = estimate(bands);
    if (time < least) {
      least = time;
      best = std::move(bands);
    }
  }
  return best;
}

// Starts up to `count` more threads running body(index) into `threads`,
// the indices continuing from the threads already there; stops at the first
// that the system refuses.
template <class Body>
void StartThreads(std::vector<std::thread>& threads, size_t count, const Body& body) {
  for (size_t k = 0; k < count; ++k) {
    try {
      threads.emplace_back(body, threads.size());
    } catch (const std::system_error&) {
      return;
    }
  }
}

// Joins the threads when it goes, even when the job on this thread throws.
struct Joined {
  std::vector<std::thread>& threads;
  ~Joined() {
    for (std::thread& t : threads) t.join();
  }
};

}  // namespace

// The crew's threads wait for rounds: in each, the first `wanted` of them
// run the round's job once beside the thread that opened the crew.
struct WorkerCrew::Threads {
  std::mutex lock;
  std::condition_variable wake, finished;
  std::vector<std::thread> threads;
  const std::function<void()>* job = nullptr;
  unsigned long round = 0;
  size_t wanted = 0;   // threads taking part in the current round
  size_t running = 0;  // of those, the ones still at work
  bool stopping = false;
  bool busy = false;  // a round is under way, run from the opening thread

  void Serve(size_t index) {
    unsigned long seen = 0;
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
      wake.wait(hold, [&] { return stopping || round != seen; });
      if (stopping) return;
      seen = round;
      if (index >= wanted) continue;
      const std::function<void()>& work = *job;
      hold.unlock();
      work();
      hold.lock();
      if (--running == 0) finished.notify_one();
    }
  }

  // Runs work on this thread and on `helpers` of the crew's threads.
  void Run(size_t helpers, const std::function<void()>& work) {
    if (threads.size() < helpers)
      StartThreads(threads, helpers - threads.size(), [this](size_t index) { Serve(index); });
    {
      const std::lock_guard<std::mutex> hold(lock);
      job = &work;
      wanted = running = std::min(helpers, threads.size());
      ++round;
    }
    wake.notify_all();
    busy = true;
    struct Finished {
      Threads& crew;
      ~Finished() {
        std::unique_lock<std::mutex> hold(crew.lock);
        crew.finished.wait(hold, [&] { return crew.running == 0; });
        crew.job = nullptr;
        crew.busy = false;
      }
    } finished_round{*this};
    work();
  }

  ~Threads() {
    {
      const std::lock_guard<std::mutex> hold(lock);
      stopping = true;
    }
    wake.notify_all();
    for (std::thread& t : threads) t.join();
  }
};

namespace {

thread_local WorkerCrew::Threads* tCrew = nullptr;

// Runs job on `workers` threads, this one among them, and waits for all of
// them: the open crew's, or threads started for it. job takes its work from
// a counter it shares with the others, so a thread that cannot be started
// leaves its share to those that did start.
void RunOnThreads(int workers, const std::function<void()>& job) {
  const size_t helpers = static_cast<size_t>(std::max(workers - 1, 0));
  if (tCrew && !tCrew->busy) {
    tCrew->Run(helpers, job);
    return;
  }
  std::vector<std::thread> threads;
  const Joined joined{threads};
  StartThreads(threads, helpers, [&job](size_t) { job(); });
  job();
}

}  // namespace

WorkerCrew::WorkerCrew() {
  if (tCrew) return;
  threads_ = std::make_unique<Threads>();
  tCrew = threads_.get();
}

WorkerCrew::~WorkerCrew() {
  if (threads_) tCrew = nullptr;
}

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

  const std::vector<RowSpan> bands = ChooseBands(reaching, work, workers);
  std::vector<std::vector<int>> bins(bands.size());
  for (const BandItem& item : reaching) {
    auto band = std::upper_bound(bands.begin(), bands.end(), item.firstRow,
                                 [](int row, const RowSpan& b) { return row < b.end; });
    for (; band != bands.end() && band->first <= item.lastRow; ++band)
      bins[band - bands.begin()].push_back(item.index);
  }

  std::atomic<size_t> next{0};
  const auto draw_bands = [&] {
    for (size_t b; (b = next.fetch_add(1)) < bands.size();) {
      tBand = bands[b];
      for (int index : bins[b]) draw(index);
    }
    tBand = {0, INT_MAX};
  };
  RunOnThreads(workers, draw_bands);
}

void SplitWork(size_t count, size_t min_part,
               const std::function<void(size_t first, size_t end)>& work) {
  if (count == 0) return;
  const size_t most = (count - 1) / std::max<size_t>(min_part, 1) + 1;
  const size_t workers = std::min(static_cast<size_t>(WorkerCount()), most);
  if (workers == 1) {
    work(0, count);
    return;
  }
  // A few parts a thread, so that the others take over the parts of a
  // thread that the machine holds back.
  const size_t parts = std::min(workers * kPartsPerWorker, most);
  std::atomic<size_t> next{0};
  // Part p covers count * p / parts .. count * (p + 1) / parts - 1; the
  // products stay far below the range of size_t for any buffer in memory.
  RunOnThreads(static_cast<int>(workers), [&] {
    for (size_t p; (p = next.fetch_add(1)) < parts;)
      work(count * p / parts, count * (p + 1) / parts);
  });
}

void SplitRows(int height, size_t row_bytes, const std::function<void(int first, int end)>& work) {
  if (height <= 0) return;
  const size_t rows_per_part = row_bytes == 0 ? 1 : (kBytesPerPart - 1) / row_bytes + 1;
  SplitWork(static_cast<size_t>(height), rows_per_part, [&](size_t first, size_t end) {
    work(static_cast<int>(first), static_cast<int>(end));
  });
}

void FillBytes(void* destination, int value, size_t bytes) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  SplitWork(bytes, kBytesPerPart,
            [&](size_t first, size_t end) { std::memset(d + first, value, end - first); });
}

void CopyBytes(void* destination, const void* source, size_t bytes) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  const unsigned char* s = static_cast<const unsigned char*>(source);
  SplitWork(bytes, kBytesPerPart,
            [&](size_t first, size_t end) { std::memcpy(d + first, s + first, end - first); });
}

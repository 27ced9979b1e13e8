// Bands of rows: one scene pass drawn by several threads at once, each
// thread drawing the triangles that reach its band, in their order, clipped
// to the band's rows. Rows never share a pixel, so when nothing a pixel's
// colour depends on lies in another row, the frame comes out the same as
// drawn on one thread. The same threads also share the plain per-row and
// per-byte work around a pass: conversions, clears and copies of its images.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// Rows first .. end - 1.
struct RowSpan {
  int first, end;
};

// The rows the current thread may draw into: the whole frame (0 .. Zheight
// - 1), or the part of it in the band that the thread is drawing.
RowSpan DrawableRows();

// How many threads draw one pass: the hardware's threads, or QF_THREADS
// from the environment when it holds a whole number from 1 to 256.
int WorkerCount();

// Worker threads kept for the stages of one render. While a crew is open on
// a thread, the work that the thread shares out (DrawInBands, SplitWork)
// runs on the crew's threads, started at the first such work and stopped
// when the crew closes, instead of on threads started for each stage. A crew
// opened while another is open on the same thread leaves that one in use.
class WorkerCrew {
 public:
  WorkerCrew();
  ~WorkerCrew();
  WorkerCrew(const WorkerCrew&) = delete;
  WorkerCrew& operator=(const WorkerCrew&) = delete;

  struct Threads;

 private:
  std::unique_ptr<Threads> threads_;  // null when another crew was open
};

// Runs work(first, end) over equal parts that together cover 0 .. count - 1
// once, on up to WorkerCount() threads (this one among them), and returns
// when all are done. There are no more parts than count / min_part rounded
// up, nor threads than parts, so that a thread takes part only in work worth
// more than its start; with one part the work runs on this thread alone.
void SplitWork(size_t count, size_t min_part,
               const std::function<void(size_t first, size_t end)>& work);

// Work on the rows of an image split among the threads as SplitWork does,
// with kBytesPerPart bytes as the smallest part; row_bytes is the bytes that
// one row of the work touches.
void SplitRows(int height, size_t row_bytes, const std::function<void(int first, int end)>& work);

// memset and memcpy of a large buffer, split among the threads.
void FillBytes(void* destination, int value, size_t bytes);
void CopyBytes(void* destination, const void* source, size_t bytes);

// The least work in bytes worth a thread of its own: a few fresh pages, whose
// first touch costs the system far more than writing them.
constexpr size_t kBytesPerPart = 16 * 1024;

// One triangle to draw in bands: its number, the first and last row that
// its drawing can reach (rows outside the frame are left out), and the width
// it spans (its work on each row).
struct BandItem {
  int index;
  int firstRow, lastRow;
  float width;
};

// Splits rows 0 .. height - 1 into bands of about equal work, and has
// `workers` threads (this one among them) take the bands in turn; each calls
// draw(index) for every item that reaches its band, in the items' order,
// with DrawableRows() giving the band.
void DrawInBands(const std::vector<BandItem>& items, int height, int workers,
                 const std::function<void(int index)>& draw);

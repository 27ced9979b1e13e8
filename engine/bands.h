// Bands of rows: one scene pass drawn by several threads at once, each
// thread drawing the triangles that reach its band, in their order, clipped
// to the band's rows. Rows never share a pixel, so when nothing a pixel's
// colour depends on lies in another row, the frame comes out the same as
// drawn on one thread.
#pragma once

#include <functional>
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

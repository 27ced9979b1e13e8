#include "engine/budget.h"

#include <algorithm>
#include <cmath>

#include "engine/qf_engine.h"

DrawBudget::DrawBudget(double visits_per_pixel, int width, int height)
    : left_(visits_per_pixel * std::max(static_cast<double>(width) * static_cast<double>(height),
                                        kBudgetLeastPixels)) {}

bool DrawBudget::Take(double visits) {
  if (!(visits <= left_)) {
    left_ = -1.0;  // drawing has stopped: nothing later is drawn either
    return false;
  }
  left_ -= visits;
  return true;
}

namespace {

// How many of the whole pixels 0 .. size - 1 the span [lo, hi] reaches.
double PixelsAlong(double lo, double hi, int size) {
  const double first = std::max(std::floor(lo), 0.0);
  const double last = std::min(std::ceil(hi), static_cast<double>(size) - 1.0);
  return last >= first ? last - first + 1.0 : 0.0;
}

}  // namespace

double FramePixelsWithin(double x0, double y0, double x1, double y1) {
  return PixelsAlong(x0, x1, Zwidth) * PixelsAlong(y0, y1, Zheight);
}

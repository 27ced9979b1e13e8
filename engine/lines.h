// Straight lines of the Rough and Line draw modes and of the one-colour
// outlines: one-pixel inverted lines, and wide anti-aliased lines coloured
// by the shader hook or by one colour.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

#include "engine/budget.h"
#include "engine/qf_engine.h"

class LineReckoning;

// How far beyond its ends' rows and columns a wide line of the width may
// visit a pixel: its band and caps, and the strays of a walk too long to be exact.
double WideLineReach(float width);

// Whether the shaded lines drawn on this thread visit only the frame's
// pixels in the thread's band (DrawableRows()) and take nothing from a
// budget: a line then changes nothing when both its ends lie more than
// WideLineReach beyond the same side of those pixels.
bool ShadedLinesKeepToBand();

// How the shaded lines drawn on a thread are drawn: the budget they take
// their visits from (none: they take nothing), the reckoning that only
// counts them, and whether they keep to the rows of the thread's band.
struct LinePass {
  DrawBudget* budget = nullptr;
  LineReckoning* reckoning = nullptr;
  bool inBand = false;
};

// While one is alive on a thread, the shaded lines drawn on it take what
// each will visit from the budget of a pass over a width x height frame, in
// the order they are drawn: a line that would take more than is left is not
// drawn, nor is any after it.
class ShadedLineBudget {
 public:
  ShadedLineBudget(int width, int height);
  ~ShadedLineBudget();
  ShadedLineBudget(const ShadedLineBudget&) = delete;
  ShadedLineBudget& operator=(const ShadedLineBudget&) = delete;

  // Whether a line has been refused: nothing more of the pass is drawn.
  bool Spent() const { return budget_.Spent(); }

 private:
  DrawBudget budget_;
  LinePass outer_;
};

// While one is alive on a thread, the shaded lines drawn on it draw and
// shade nothing: each adds what it would take from the budget of its pass
// (as ShadedLineBudget reckons it) and the rows of the frame it can reach.
class LineReckoning {
 public:
  LineReckoning();
  ~LineReckoning();
  LineReckoning(const LineReckoning&) = delete;
  LineReckoning& operator=(const LineReckoning&) = delete;

  // A line that would take `visits` and visits no pixel outside rows
  // first_row .. last_row (any values).
  void Add(double visits, double first_row, double last_row);
  double visits() const { return visits_; }
  // The rows of the frame that the lines can reach; first above last when
  // there are none.
  int firstRow() const { return firstRow_; }
  int lastRow() const { return lastRow_; }

 private:
  double visits_ = 0.0;
  int firstRow_ = INT_MAX, lastRow_ = INT_MIN;
  LinePass outer_;
};

// While one is alive on a thread, the shaded lines drawn on it visit only
// the frame's pixels in the rows of the thread's band (DrawableRows()),
// which leaves every pixel as drawing them all would while the engine's own
// shader writes nothing (OwnShaderWritesNothing). With a budget, they take
// what each will visit from it, reckoned over their whole window as
// ShadedLineBudget reckons it, so the stop does not depend on the band.
class BandLines {
 public:
  explicit BandLines(DrawBudget* budget);
  ~BandLines();
  BandLines(const BandLines&) = delete;
  BandLines& operator=(const BandLines&) = delete;

 private:
  LinePass outer_;
};

// Floats lose whole pixels beyond 2^24, and larger values no longer truncate
// safely into the integer walks; lines are kept within this distance of the origin.
constexpr float kLineCoordLimit = 16777216.0f;

inline bool LineEndsFinite(float x0, float y0, float x1, float y1) {
  return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1);
}

// Whether a wide line (shaded or of one colour) from (x0, y0) to (x1, y1)
// examines no pixel at all: an end is not a number, or the ends, within
// the limit (beyond it they are clipped first), lie less than a whole pixel
// apart along both axes. The shader is not called then, nor is anything
// taken from a budget.
inline bool WideLineIsEmpty(float x0, float y0, float x1, float y1) {
  if (!LineEndsFinite(x0, y0, x1, y1)) return true;
  return std::fabs(x0) <= kLineCoordLimit && std::fabs(y0) <= kLineCoordLimit &&
         std::fabs(x1) <= kLineCoordLimit && std::fabs(y1) <= kLineCoordLimit &&
         static_cast<int>(x1 - x0) == 0 && static_cast<int>(y1 - y0) == 0;
}

void __PlotInverted(unsigned char* target, unsigned char* source, int width, int height, float x,
                    float y);
void __DrawLineRough(float x0, float y0, float x1, float y1, unsigned char* target,
                     unsigned char* source, int width, int height);
void __DrawLineShaded(float x0, float x1, float y0, float y1, float line_width,
                      unsigned char* target, unsigned char* source, int width, int height,
                      __Texture* textures, material3ds* materials, int material_count,
                      __Triangle3ds* triangle, int unused_count, __Point3ds* unused_vertices,
                      int cx, int cy, float plane_a, float plane_b, float plane_c, float plane_d,
                      int light_count, light3ds* lights, GlassProp* glass);
void __DrawLineColor(uint32_t red, uint32_t green, uint32_t blue, float x0, float y0, float x1,
                     float y1, float line_width, unsigned char* target, unsigned char* source,
                     int width, int height);

void __DrawTriangleRough(unsigned char* target, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int light_count, light3ds* lights, GlassProp* glass);
void __DrawTriangleLines(unsigned char* target, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int light_count, light3ds* lights, GlassProp* glass);
void __DrawTriangleLineColor(float line_width, int red, int green, int blue, unsigned char* target,
                             unsigned char* source, int width, int height, __Triangle3ds* triangle,
                             __Point3ds* vertices, int cx, int cy);

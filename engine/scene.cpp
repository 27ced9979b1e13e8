// The scene calls: __RasterScene prepares the per-call images, depth buffer
// and default light, runs the back-face and front passes through the loop of
// the current draw mode, and releases what it took; __RasterSolid fills with
// one colour; __DrawScenesLineColor outlines in one colour.
#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstddef>
#include <vector>

#include "engine/bands.h"
#include "engine/budget.h"
#include "engine/curved.h"
#include "engine/curved_patch.h"
#include "engine/fill.h"
#include "engine/glass.h"
#include "engine/lines.h"
#include "engine/qf_engine.h"
#include "engine/geometry.h"
#include "engine/scene_state.h"
#include "engine/scratch.h"
#include "windows.h"

unsigned char* __OutImage = nullptr;
unsigned char* __BackImage = nullptr;
float* __BackZBuff = nullptr;

namespace {

// The whole scene as __RasterScene received it, handed to the mode loops.
struct Scene {
  unsigned char* out;
  unsigned char* source;
  int width, height;
  int triangleCount;
  __Triangle3ds* triangles;
  __Point3ds* points;
  int cx, cy;
  int materialCount;
  material3ds* materials;
  __Texture* textures;
  int lightCount;
  light3ds* lights;
  GlassProp* glass;
};

// Every per-triangle drawing shares this argument list.
typedef void (*TriangleDraw)(unsigned char* image, unsigned char* source, int width, int height,
                             __Texture* textures, material3ds* materials, int material_count,
                             __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                             int light_count, light3ds* lights, GlassProp* glass);

// An empty depth buffer holds this byte everywhere: each entry is a float
// farther than any depth a scene produces.
constexpr int kEmptyDepthByte = 0xFE;

bool gOwnDepth = false;
bool gOwnLight = false;

void* TakePages(size_t bytes) { return VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE); }

template <typename T>
void ReleasePages(T*& p) {
  if (p) VirtualFree(p, 0, MEM_RELEASE);
  p = nullptr;
}

// z of the face normal from the vertex x and y before the centre is added:
// 0 or more faces the viewer, below 0 faces away, NaN neither.
float FacingValue(const __Triangle3ds& t, const __Point3ds* points) {
  float nx, ny, nz;
  __FaceNormal(&t, points, &nx, &ny, &nz);
  return nz;
}

bool PassesStandardTest(float facing) {
  const bool front = facing >= 0.0f;
  const bool back = facing < 0.0f;
  return (front && _DrawBackFaces1 == 0) || (back && _DrawBackFaces1 != 0) || _DubleSide != 0;
}

// Flat and Phong: the front pass also takes every back face when glass
// refracts through several layers.
bool PassesWidenedTest(float facing) {
  return PassesStandardTest(facing) || (_DrawBackFaces1 == 0 && _UseMultyRefract == 2);
}

// A rectangle bound truncated toward zero. A bound beyond the range of an
// int (a far vertex, such as a strong perspective warp makes) is held at
// that end of the range, so the rectangle still reaches across the frame.
int RectBound(float v) {
  if (v >= 2147483648.0f) return INT_MAX;
  if (!(v > -2147483648.0f)) return INT_MIN;
  return static_cast<int>(v);
}

void DrawDirect(const Scene& s, __Triangle3ds* t, TriangleDraw draw) {
  draw(s.out, s.source, s.width, s.height, s.textures, s.materials, s.materialCount, t, s.points,
       s.cx, s.cy, s.lightCount, s.lights, s.glass);
}

// The smallest and largest vertex x and y of a triangle, before the centre is added.
struct Bounds {
  float minX, maxX, minY, maxY;
};

Bounds BoundsOf(const Scene& s, const __Triangle3ds& t) {
  const __Point3ds* v[3] = {&s.points[t.a], &s.points[t.b], &s.points[t.c]};
  Bounds b{v[0]->x, v[0]->x, v[0]->y, v[0]->y};
  for (int k = 1; k < 3; ++k) {
    if (v[k]->x < b.minX) b.minX = v[k]->x;
    if (v[k]->x > b.maxX) b.maxX = v[k]->x;
    if (v[k]->y < b.minY) b.minY = v[k]->y;
    if (v[k]->y > b.maxY) b.maxY = v[k]->y;
  }
  return b;
}

constexpr float kMargin = 3.0f;

// The margin of a triangle's scratch rectangle: 3 pixels, or for the curved
// surfaces, which can bulge beyond the flat triangle, its extent when larger.
enum class Margin { Fixed, ByExtent };

// A triangle's scratch rectangle in image coordinates: its bounds widened
// by the margin, both ends included.
struct ScratchRect {
  float x0, y0, x1, y1;
};

ScratchRect ScratchRectOf(const Scene& s, const __Triangle3ds& t, Margin margin) {
  const Bounds b = BoundsOf(s, t);
  float margin_x = kMargin, margin_y = kMargin;
  if (margin == Margin::ByExtent) {
    margin_x = std::max(kMargin, std::fabs(b.maxX - b.minX));
    margin_y = std::max(kMargin, std::fabs(b.maxY - b.minY));
  }
  const float cx = static_cast<float>(s.cx);
  const float cy = static_cast<float>(s.cy);
  return {b.minX - margin_x + cx, b.minY - margin_y + cy, b.maxX + margin_x + cx,
          b.maxY + margin_y + cy};
}

// The frame pixels of a triangle's scratch rectangle: what clearing and
// merging it visit, and what its flat fill can visit.
double ScratchVisits(const Scene& s, const __Triangle3ds& t, Margin margin) {
  const ScratchRect r = ScratchRectOf(s, t, margin);
  return FramePixelsWithin(r.x0, r.y0, r.x1, r.y1);
}

// Draws one triangle alone into the scratch layer and merges it into the
// output inside its bounds widened by the margin, so that shared edges of
// neighbouring triangles blend without seams.
void DrawThroughScratch(const Scene& s, __Triangle3ds* t, TriangleDraw draw, Margin margin) {
  const ScratchRect r = ScratchRectOf(s, *t, margin);
  const int x0 = RectBound(r.x0);
  const int y0 = RectBound(r.y0);
  const int x1 = RectBound(r.x1);
  const int y1 = RectBound(r.y1);
  __ClearScratchRect(x0, y0, x1, y1);
  draw(__ScratchLayer, s.source, s.width, s.height, s.textures, s.materials, s.materialCount, t,
       s.points, s.cx, s.cy, s.lightCount, s.lights, s.glass);
  __MergeScratchRect(s.out, x0, y0, x1, y1);
}

// Flat and Phong: through the scratch layer with a margin of 3 pixels when
// edges are anti-aliased.
void DrawFilled(const Scene& s, __Triangle3ds* t, TriangleDraw draw) {
  if (_Quality != 0)
    DrawThroughScratch(s, t, draw, Margin::Fixed);
  else
    DrawDirect(s, t, draw);
}

// What a flat or Phong triangle's drawing may visit: its scanlines and
// vertex boxes stay about its scratch rectangle (a vertex box of a steep
// edge reaches a little beyond it, on a few rows).
double FilledVisits(const Scene& s, const __Triangle3ds& t) {
  return ScratchVisits(s, t, Margin::Fixed);
}

// Whether a flat or Phong triangle whose scratch rectangle holds no frame
// pixel changes nothing: its spans and depths stay inside the rectangle,
// and what its vertex boxes reach beyond it are pixels it does not cover,
// which change nothing while the engine's own shader is installed and its
// glass writes no layer.
bool OutsideDrawsNothing() { return OwnShaderWritesNothing(); }

// A filled triangle's or a shaded line's pixel depends on nothing in
// another row while the engine's own shader is installed (a caller's hook
// is called on this thread, one pixel at a time, in order), its glass reads
// the source alone and no back-face pass runs. Then the rows can be drawn in
// bands.
bool RowsAreIndependent() {
  return __RenderOnePixel == __DefRenderOnePixel && _UseMultyRefract == 0 && _DrawBackFaces == 0;
}

// The triangles that pass the widened facing test, drawn in bands. A
// triangle reaches at most from its scratch rectangle's first row to its
// last (its vertex boxes lie 1.5 pixels around its vertices), taken a row
// wider on each side; a triangle whose bounds are not numbers draws nothing.
void FilledInBands(const Scene& s, TriangleDraw draw, int workers) {
  std::vector<BandItem> items;
  items.reserve(static_cast<size_t>(s.triangleCount));
  const double cy = s.cy;
  const double row_limit = s.height;
  DrawBudget budget(kFilledVisitsPerPixel, s.width, s.height);
  for (int i = 0; i < s.triangleCount; ++i) {
    const __Triangle3ds& t = s.triangles[i];
    if (!PassesWidenedTest(FacingValue(t, s.points))) continue;
    const double visits = FilledVisits(s, t);
    if (visits == 0.0 && OutsideDrawsNothing()) continue;
    if (!budget.Take(visits)) break;
    const Bounds b = BoundsOf(s, t);
    const double first = std::floor(b.minY + cy - kMargin) - 1.0;
    const double last = std::ceil(b.maxY + cy + kMargin) + 1.0;
    if (!(first <= last)) continue;
    const float width = b.maxX - b.minX + 2 * kMargin;
    items.push_back({i, static_cast<int>(std::max(first, -1.0)),
                     static_cast<int>(std::min(last, row_limit)),
                     width >= 1.0f ? std::min(width, static_cast<float>(s.width)) : 1.0f});
  }
  DrawInBands(items, s.height, workers, [&](int i) { DrawFilled(s, &s.triangles[i], draw); });
}

// Flat and Phong: the widened facing test, and each triangle drawn alone.
void FilledLoop(const Scene& s, TriangleDraw draw) {
  const int workers = WorkerCount();
  if (workers > 1 && RowsAreIndependent()) {
    FilledInBands(s, draw, workers);
    return;
  }
  DrawBudget budget(kFilledVisitsPerPixel, s.width, s.height);
  for (int i = 0; i < s.triangleCount; ++i) {
    __Triangle3ds* t = &s.triangles[i];
    if (!PassesWidenedTest(FacingValue(*t, s.points))) continue;
    const double visits = FilledVisits(s, *t);
    if (visits == 0.0 && OutsideDrawsNothing()) continue;
    if (!budget.Take(visits)) break;
    DrawFilled(s, t, draw);
  }
}

// Rough, Line and Wire: straight into the output, the shaded lines of Line
// and Wire taking their visits from one budget for the pass; once a line is
// refused the pass ends. Rough and Line apply the standard facing test, the
// wire its own to each chord.
enum class Facing { Standard, ByDraw };

bool PassesFacing(const Scene& s, const __Triangle3ds& t, Facing facing) {
  return facing == Facing::ByDraw || PassesStandardTest(FacingValue(t, s.points));
}

// Triangles whose lines are reckoned between two looks at the budget (the
// lines of at most this many triangles past the stop are reckoned for
// nothing), and how many a worker takes at a time: the few triangles that
// reach far across the frame hold most of the work.
constexpr int kReckonedAtOnce = 1 << 15;
constexpr size_t kReckonedPerTake = 64;

// What a triangle's shaded lines take from the budget and the rows they reach.
struct Reckoned {
  double visits;
  int firstRow, lastRow;
};

// Line and Wire in bands. Each triangle's lines are first reckoned on all
// workers, and the budget taken triangle by triangle in their order: every
// count is a whole number and the budget one below 2^53, so the sums are
// exact as far as it reaches, and the triangle whose lines exceed what is
// left is the one that holds the line a pass on one thread stops at. The bands
// then draw the triangles before it whole, and that triangle line by line
// from what was left, so that each band stops at that same line.
void OutlinesInBands(const Scene& s, TriangleDraw draw, Facing facing, int workers) {
  DrawBudget budget(kLineVisitsPerPixel, s.width, s.height);
  DrawBudget left_for_last = budget;
  int last = -1;  // the triangle whose lines exceed the budget
  std::vector<BandItem> items;
  std::vector<Reckoned> reckoned;
  for (int from = 0; from < s.triangleCount && last < 0; from += kReckonedAtOnce) {
    const int count = std::min(kReckonedAtOnce, s.triangleCount - from);
    reckoned.assign(static_cast<size_t>(count), Reckoned{0.0, 0, -1});
    std::atomic<size_t> next{0};
    const size_t takes = (static_cast<size_t>(count) - 1) / kReckonedPerTake + 1;
    SplitWork(static_cast<size_t>(workers), 1, [&](size_t, size_t) {
      for (size_t take; (take = next.fetch_add(1)) < takes;) {
        const size_t end = std::min((take + 1) * kReckonedPerTake, static_cast<size_t>(count));
        for (size_t k = take * kReckonedPerTake; k < end; ++k) {
          __Triangle3ds* t = &s.triangles[from + static_cast<int>(k)];
          if (!PassesFacing(s, *t, facing)) continue;
          const LineReckoning lines;
          DrawDirect(s, t, draw);
          reckoned[k] = {lines.visits(), lines.firstRow(), lines.lastRow()};
        }
      }
    });
    for (int k = 0; k < count && last < 0; ++k) {
      const Reckoned& r = reckoned[static_cast<size_t>(k)];
      const DrawBudget before = budget;
      if (!budget.Take(r.visits)) {
        last = from + k;
        left_for_last = before;
      }
      if (r.firstRow > r.lastRow) continue;
      const double rows = static_cast<double>(r.lastRow) - r.firstRow + 1.0;
      items.push_back(
          {from + k, r.firstRow, r.lastRow, static_cast<float>(std::max(r.visits / rows, 1.0))});
    }
  }
  DrawInBands(items, s.height, workers, [&](int i) {
    DrawBudget left = left_for_last;
    const BandLines lines(i == last ? &left : nullptr);
    DrawDirect(s, &s.triangles[i], draw);
  });
}

// Rough stays on one thread: its lines are cheap and take no budget.
void OutlineLoop(const Scene& s, TriangleDraw draw, Facing facing, bool shaded) {
  const int workers = WorkerCount();
  if (shaded && workers > 1 && RowsAreIndependent()) {
    OutlinesInBands(s, draw, facing, workers);
    return;
  }
  const ShadedLineBudget budget(s.width, s.height);
  for (int i = 0; i < s.triangleCount && !budget.Spent(); ++i) {
    __Triangle3ds* t = &s.triangles[i];
    if (PassesFacing(s, *t, facing)) DrawDirect(s, t, draw);
  }
}

// The samples the curved walk takes over a triangle's patch: rows of s,
// each ending where t + s passes 1 (about half of the t steps on average);
// none when the patch lies beyond the frame or has no points.
double CurvedSamples(const Scene& s, __Triangle3ds* t) {
  CurvedPatch patch;
  double step_t, step_s;
  if (!PrepareCurvedSampling(t, s.points, s.cx, s.cy, false, &patch, &step_t, &step_s)) return 0.0;
  return (1.0 / step_s + 1.0) * (0.5 / step_t + 2.0);
}

// What a triangle's drawing in each curved fill may visit. The subdivided
// fill's four parts lie about the flat triangle, and it clears and merges
// its wider scratch rectangle.
enum class CurvedWork { Subdivided, Sampled, SampledThroughScratch };

double CurvedVisits(const Scene& s, __Triangle3ds* t, CurvedWork work) {
  switch (work) {
    case CurvedWork::Subdivided:
      return FilledVisits(s, *t) + ScratchVisits(s, *t, Margin::ByExtent);
    case CurvedWork::Sampled:
      return CurvedSamples(s, t);
    case CurvedWork::SampledThroughScratch:
      return CurvedSamples(s, t) + ScratchVisits(s, *t, Margin::ByExtent);
  }
  return 0.0;
}

// The curved modes hand every triangle on: their drawing applies its own
// facing tests.
void CurvedLoop(const Scene& s, TriangleDraw draw, CurvedWork work) {
  const bool through_scratch =
      work == CurvedWork::Subdivided || work == CurvedWork::SampledThroughScratch;
  DrawBudget budget(kCurvedVisitsPerPixel, s.width, s.height);
  for (int i = 0; i < s.triangleCount; ++i) {
    __Triangle3ds* t = &s.triangles[i];
    if (!budget.Take(CurvedVisits(s, t, work))) break;
    if (through_scratch)
      DrawThroughScratch(s, t, draw, Margin::ByExtent);
    else
      DrawDirect(s, t, draw);
  }
}

// The curved fill, wire and silhouette take their arguments in another
// order; this hands them on from the table's order.
typedef void (*CurvedDraw)(unsigned char* image, unsigned char* source, int width, int height,
                           __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                           int material_count, material3ds* materials, __Texture* textures,
                           int light_count, light3ds* lights, GlassProp* glass);
template <CurvedDraw draw>
void InTableOrder(unsigned char* image, unsigned char* source, int width, int height,
                  __Texture* textures, material3ds* materials, int material_count,
                  __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy, int light_count,
                  light3ds* lights, GlassProp* glass) {
  draw(image, source, width, height, triangle, vertices, cx, cy, material_count, materials,
       textures, light_count, lights, glass);
}

void __RasterModeRough(const Scene& s) {
  OutlineLoop(s, __DrawTriangleRough, Facing::Standard, false);
}
void __RasterModeLine(const Scene& s) {
  OutlineLoop(s, __DrawTriangleLines, Facing::Standard, true);
}
void __RasterModeFlat(const Scene& s) { FilledLoop(s, __SetupTriangleFlat); }
void __RasterModePhong(const Scene& s) { FilledLoop(s, __SetupTrianglePhong); }
void __RasterModeWire(const Scene& s) {
  OutlineLoop(s, InTableOrder<__DrawTriangleCurvedWire>, Facing::ByDraw, true);
}
void __RasterModeSubdiv(const Scene& s) {
  CurvedLoop(s, __SubdivideTriangleCurved, CurvedWork::Subdivided);
}
void __RasterModeCurved(const Scene& s) {
  CurvedLoop(s, InTableOrder<__FillTriangleCurved>, CurvedWork::SampledThroughScratch);
}
// The silhouette draws in the front pass only.
void __RasterModeSilhouette(const Scene& s) {
  if (_DrawBackFaces1 == 0)
    CurvedLoop(s, InTableOrder<__DrawTriangleSilhouette>, CurvedWork::Sampled);
}

typedef void (*ModeLoop)(const Scene& s);

// The scene loop of each draw mode; a mode without one draws nothing.
constexpr int kModeCount = 11;
const ModeLoop kModeLoops[kModeCount] = {
    __RasterModeRough,       // 0
    __RasterModeLine,        // 1
    __RasterModeWire,        // 2
    __RasterModeFlat,        // 3
    nullptr,                 // 4
    nullptr,                 // 5
    __RasterModePhong,       // 6
    nullptr,                 // 7
    __RasterModeSubdiv,      // 8
    __RasterModeCurved,      // 9
    __RasterModeSilhouette,  // 10
};

void RunPass(const Scene& s) {
  if (_DrawMode >= kModeCount) return;
  const ModeLoop loop = kModeLoops[_DrawMode];
  if (loop) loop(s);
}

void ReleaseCallImages() {
  ReleasePages(__ScratchLayer);
  ReleasePages(__MergeLast);
  ReleasePages(__MergeUnder);
  ReleasePages(__BackImage);
  ReleasePages(__BackZBuff);
}

void ReleaseOwnDepthAndLight() {
  if (gOwnDepth) ReleasePages(ZBuff);
  gOwnDepth = false;
  if (gOwnLight) ReleasePages(__LightDef);
  gOwnLight = false;
}

// Depth buffer, default light and per-call images; false when a buffer could
// not be taken, with everything taken so far released again.
bool PrepareCall(const Scene& s, int light_count, size_t bytes_per_pixel) {
  if (!(ZBuff && Zwidth == s.width && Zheight == s.height)) {
    ReleasePages(ZBuff);
    Zwidth = s.width;
    Zheight = s.height;
    const size_t bytes = static_cast<size_t>(Zwidth) * Zheight * sizeof(float);
    ZBuff = static_cast<float*>(TakePages(bytes));
    if (!ZBuff) return false;
    FillBytes(ZBuff, kEmptyDepthByte, bytes);
    gOwnDepth = true;
  }
  if (!__LightDef && light_count == 0) {
    __LightDef = static_cast<light3ds*>(TakePages(sizeof(light3ds)));
    if (!__LightDef) {
      ReleaseOwnDepthAndLight();
      return false;
    }
    __LightDef->x = 200.0f;
    __LightDef->y = 200.0f;
    __LightDef->z = 1000.0f;
    __LightDef->color[0] = __LightDef->color[1] = __LightDef->color[2] = 1.0f;
    __LightDef->intensity = 1.0f;
    gOwnLight = true;
  }
  __OutImage = s.out;

  const size_t pixels = static_cast<size_t>(Zwidth) * Zheight;
  const size_t image_bytes = bytes_per_pixel * pixels;
  __ScratchLayer = static_cast<unsigned char*>(TakePages(image_bytes));
  __MergeLast = static_cast<unsigned char*>(TakePages(image_bytes));
  __MergeUnder = static_cast<unsigned char*>(TakePages(image_bytes));
  __BackImage = static_cast<unsigned char*>(TakePages(image_bytes));
  __BackZBuff = static_cast<float*>(TakePages(pixels * sizeof(float)));
  if (!__ScratchLayer || !__MergeLast || !__MergeUnder || !__BackImage || !__BackZBuff) {
    ReleaseCallImages();
    ReleaseOwnDepthAndLight();
    return false;
  }
  // Clearing __MergeLast also takes its fresh pages from the system here, on
  // every worker, rather than one by one while the bands are drawn.
  FillBytes(__MergeLast, 0, image_bytes);
  // Glass reads the layers behind only when it does not read the source
  // alone; a back-face pass replaces the image behind before the front pass.
  if (_UseMultyRefract != 0 || _DrawBackFaces != 0) {
    if (s.source) CopyBytes(__BackImage, s.source, image_bytes);  // else it stays clear
    FillBytes(__BackZBuff, kEmptyDepthByte, pixels * sizeof(float));
  }
  return true;
}

}  // namespace

void __RasterScene(unsigned char* out, unsigned char* source, int width, int height, int row_stride,
                   int, int triangle_count, __Triangle3ds* triangles, __Point3ds* points,
                   int centre_x, int centre_y, int material_count, material3ds* materials,
                   __Texture* textures, int light_count, light3ds* lights, GlassProp* glass) {
  __RowBytes = row_stride;
  __MaxChannel = _Deep != 0 ? 32768 : 255;
  const size_t bytes_per_pixel = _Deep != 0 ? 8 : 4;
  const Scene scene{out,       source,   width,       height,   triangle_count,
                    triangles, points,   centre_x,    centre_y, material_count,
                    materials, textures, light_count, lights,   glass};

  if (_DrawMode == 0) {
    _DrawBackFaces = 0;
    _DrawBackFaces1 = 0;
    RunPass(scene);
    return;
  }
  if (width <= 0 || height <= 0) return;  // an empty frame takes no buffers
  const WorkerCrew crew;                  // the caller's, when it has one open
  if (!PrepareCall(scene, light_count, bytes_per_pixel)) return;
  _DrawBackFaces1 = _DrawBackFaces;

  for (;;) {
    RunPass(scene);
    if (_DrawBackFaces1 == 0) break;
    // The back faces now lie in the output: they are what the front
    // faces' glass sees behind them.
    CopyBytes(__BackImage, out, bytes_per_pixel * Zwidth * Zheight);
    _DrawBackFaces1 = 0;
    if (gOwnDepth)
      FillBytes(ZBuff, kEmptyDepthByte, static_cast<size_t>(Zwidth) * Zheight * sizeof(float));
  }

  ReleaseCallImages();
  ReleaseOwnDepthAndLight();
}

void __RasterSolid(unsigned char* out, int width, int height, int row_stride, int,
                   int triangle_count, __Triangle3ds* triangles, __Point3ds* points, int centre_x,
                   int centre_y, float red, float green, float blue, float fourth) {
  __RowBytes = row_stride;
  Zwidth = width;
  Zheight = height;
  __MaxChannel = _Deep != 0 ? 32768 : 255;
  for (int i = 0; i < triangle_count; ++i)
    __SetupTriangleSolid(out, width, height, &triangles[i], points, centre_x, centre_y, red, green,
                         blue, fourth);
}

void __DrawScenesLineColor(float line_width, int red, int green, int blue, unsigned char* out,
                           unsigned char* source, int width, int height, int, int triangle_count,
                           __Triangle3ds* triangles, __Point3ds* points, int centre_x,
                           int centre_y) {
  for (int i = 0; i < triangle_count; ++i) {
    const float facing = FacingValue(triangles[i], points);
    if (!(facing >= 0.0f) && _DubleSide == 0) continue;
    __DrawTriangleLineColor(line_width, red, green, blue, out, source, width, height, &triangles[i],
                            points, centre_x, centre_y);
  }
}

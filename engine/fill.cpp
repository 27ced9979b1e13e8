#include "engine/fill.h"

#include <algorithm>
#include <cmath>

#include "engine/bands.h"
#include "engine/coverage.h"
#include "engine/depth.h"
#include "engine/glass.h"
#include "engine/geometry.h"
#include "engine/interpolate.h"
#include "engine/orientation.h"
#include "engine/perspective.h"
#include "engine/scene_state.h"

namespace {

// Truncation toward zero of a pixel coordinate, held to +-2^30 so that
// vertices far outside any frame (or not numbers at all) still give a
// defined row or column; every loop below is then clipped to the frame.
constexpr float kCoordLimit = 1073741824.0f;

int Trunc(float v) {
  if (v >= kCoordLimit) return 1 << 30;
  if (!(v > -kCoordLimit)) return -(1 << 30);
  return static_cast<int>(v);
}

// Last column reached by a loop that runs while column <= x, and while column < x.
int LastUpTo(float x) { return Trunc(std::floor(x)); }
int LastBelow(float x) { return Trunc(std::ceil(x)) - 1; }

// The line of one edge and its end points, as the coverage helpers take them.
struct Edge {
  float a, b, c, ab2, length;
  float x1, y1, x2, y2;
};

Edge EdgeOf(const __Point3ds& s, const __Point3ds& t) {
  Edge edge;
  __LineCoefs(s.x, s.y, t.x, t.y, &edge.a, &edge.b, &edge.c);
  edge.ab2 = edge.a * edge.a + edge.b * edge.b;
  edge.length = std::sqrt(edge.ab2);
  edge.x1 = s.x;
  edge.y1 = s.y;
  edge.x2 = t.x;
  edge.y2 = t.y;
  return edge;
}

bool ScreenIsFinite(int n, const __Point3ds* screen) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(screen[i].x) || !std::isfinite(screen[i].y)) return false;
  return true;
}

// det((x0, x1, x2), (y0, y1, y2), (1, 1, 1)) of T = x0, x1, x2, y0, y1, y2.
float Area(const float* T) {
  const float m[9] = {T[0], T[1], T[2], T[3], T[4], T[5], 1.0f, 1.0f, 1.0f};
  return __Det3(m);
}

float ScreenArea(const __Point3ds* screen, float* S) {
  for (int i = 0; i < 3; ++i) {
    S[i] = screen[i].x;
    S[3 + i] = screen[i].y;
  }
  return Area(S);
}

// Narrows columns *first .. *last of row py to those the edge may cover. A
// pixel farther than its width (1) from the edge's line has no coverage by
// the line nor by a round cap at an end point. The bound is worked out in
// doubles with a margin of one more pixel and many times the rounding error
// the float coverage can make at these coordinates; nothing is narrowed when
// a value is not a finite number.
void NarrowToEdge(const Edge& edge, int py, int* first, int* last) {
  const double a = edge.a, b = edge.b, c = edge.c, length = edge.length;
  const double y = py;
  const double extent = std::fabs(a) * std::max(std::fabs(static_cast<double>(*first)),
                                                std::fabs(static_cast<double>(*last))) +
                        std::fabs(b * y) + std::fabs(c);
  const double reach = (2.0 + 0x1p-16 * extent / length) * length;
  const double rest = -(b * y + c);
  if (!std::isfinite(reach) || !std::isfinite(rest) || !(length > 0.0)) return;
  if (a == 0.0) {
    if (std::fabs(rest) > reach) *last = *first - 1;  // a level edge far from this row
    return;
  }
  const double x0 = (rest - reach) / a, x1 = (rest + reach) / a;
  const double lo = std::floor(std::min(x0, x1)) - 1.0, hi = std::ceil(std::max(x0, x1)) + 1.0;
  if (!std::isfinite(lo) || !std::isfinite(hi)) return;
  if (lo > *first) *first = lo > *last ? *last + 1 : static_cast<int>(lo);
  if (hi < *last) *last = hi < *first ? *first - 1 : static_cast<int>(hi);
}

// Box rows narrower than this many columns are visited whole: narrowing
// them would cost about as much as it saves.
constexpr int kNarrowFrom = 16;

// Visits columns first .. last of a row inside the frame. A filler that
// chains each pixel to the one handled before it also visits the column just
// left of the frame and, when the span ends outside the frame, its last
// column, so that the first pixel it draws and the next span of the row see
// the same neighbour as they would over an unbounded image.
template <bool chained, class Visit>
void Span(int first, int last, Visit&& visit) {
  if (last < first) return;
  const int lo = std::max(first, chained ? -1 : 0);
  const int hi = std::min(last, Zwidth - 1);
  for (int column = lo; column <= hi; ++column) visit(column);
  if (chained && (last > hi || last < lo)) visit(last);
}

// The three fillers differ in their vertex boxes, span ends and pixel
// procedures; the scan itself is shared. Pixels supplies:
//   kPhong      the Phong geometry of boxes, row condition and spans
//   Box, Band, Interior (column, row[, edge])   the pixel procedures
//   NewScanline, Closing                        neighbour-record resets
template <class Pixels>
void DrawVertexBox(Pixels& pixels, const __Point3ds& s, const __Point3ds& t, bool closing,
                   const RowSpan& rows) {
  const Edge edge = EdgeOf(s, t);
  const float dy = std::fabs(t.y - s.y);
  int row0, row1, col0, col1;
  if (Pixels::kPhong) {
    // Around the upper end point (the start on a tie), or the lower one
    // in the closing passes; the columns always reach out from the start.
    const bool start_is_upper = !(t.y > s.y);
    const float y = (start_is_upper != closing) ? s.y : t.y;
    row0 = Trunc(y - 1.5f);
    row1 = Trunc(y + 1.5f);
    const float w =
        dy < 1.0f ? std::fabs(s.x - t.x) + 1.5f : 1.5f * std::fabs((s.x - t.x) / (t.y - s.y));
    if (t.x > s.x) {
      col0 = Trunc(s.x - 1.5f);
      col1 = Trunc(s.x + w);
    } else {
      col0 = Trunc(s.x - w);
      col1 = Trunc(s.x + 1.5f);
    }
  } else {
    row0 = Trunc(std::min(s.y, t.y) - 1.5f);
    row1 = Trunc(std::max(s.y, t.y) + 1.5f);
    const float w = dy < 1.0f ? dy + 1.5f : 1.5f;
    col0 = Trunc(std::min(s.x, t.x) - 1.5f);
    col1 = Trunc(std::max(s.x, t.x) + w);
  }
  row0 = std::max(row0, rows.first);
  row1 = std::min(row1, rows.end - 1);
  col0 = std::max(col0, 0);
  col1 = std::min(col1, Zwidth - 1);
  for (int py = row0; py <= row1; ++py) {
    // A box pixel the edge does not cover changes nothing when the pixels
    // skip uncovered ones: a wide box shrinks to the pixels about the edge.
    int first = col0, last = col1;
    if (last - first > kNarrowFrom && pixels.SkipsUncovered())
      NarrowToEdge(edge, py, &first, &last);
    for (int px = first; px <= last; ++px) pixels.Box(px, py, edge);
  }
}

// One scanline: left edge band, interior span, right edge band.
template <class Pixels>
void DrawScanline(Pixels& pixels, int n, const __Point3ds* screen, const EdgeEntry* table, int e,
                  const __Point3ds& s, const __Point3ds& t, float slope, const Edge& left, int py) {
  constexpr bool phong = Pixels::kPhong;
  const float row = static_cast<float>(py);
  const float min_x = std::min(s.x, t.x);
  float x_l = slope == 0.0f ? min_x : s.x + (row - s.y) * slope;
  if (phong && x_l < min_x) x_l = min_x;
  Edge right;
  float run;
  const float x_r =
      __EdgeAtScanline(n, e + 1, screen, table, row, &right.a, &right.b, &right.c, &right.ab2,
                       &right.length, &right.x1, &right.y1, &right.x2, &right.y2, &run);
  float band_l = std::fabs(x_l - (s.x + (static_cast<float>(py - 1) - s.y) * slope));
  if (band_l < 3.0f) band_l = 3.0f;

  pixels.NewScanline();
  if (_Quality != 0)
    Span<phong>(Trunc(x_l - band_l), LastUpTo(phong ? x_l + 0.5f : x_l),
                [&](int px) { pixels.Band(px, py, left); });
  Span<phong>(_Quality != 0 ? Trunc(x_l + 1.0f) : Trunc(x_l),
              phong ? LastBelow(x_r) : LastUpTo(x_r), [&](int px) { pixels.Interior(px, py); });
  if (_Quality != 0)
    Span<phong>(phong ? Trunc(x_r) : Trunc(x_r + 1.0f), LastUpTo(x_r + run),
                [&](int px) { pixels.Band(px, py, right); });
}

// Walks the scanlines from the top vertex (largest y) down, edge by edge on
// the left, then draws the closing vertex boxes.
template <class Pixels>
void ScanTriangle(Pixels& pixels, int n, const __Point3ds* screen, const EdgeEntry* table,
                  int lowest_row) {
  constexpr bool phong = Pixels::kPhong;
  const RowSpan rows = DrawableRows();
  int e = 0;
  bool closing = false;
  for (;;) {
    {
      const __Point3ds& s = screen[table[e].start];
      const __Point3ds& t = screen[table[e].end];
      if (_Quality != 0) DrawVertexBox(pixels, s, t, closing, rows);
      if (std::fabs(t.y - s.y) < 1.0f) ++e;  // a flat edge is never a left edge
    }
    if (e >= n - 1) return;

    const __Point3ds& s = screen[table[e].start];
    const __Point3ds& t = screen[table[e].end];
    const int first = Trunc(s.y);
    const float dy = t.y - s.y;
    const float slope = std::fabs(dy) >= 1.0f ? (t.x - s.x) / dy : 0.0f;
    const Edge left = EdgeOf(s, t);
    // The edge scans rows down to, not including, `stop`: Phong leaves the
    // row of the lower end to the next edge, Flat and Solid scan every row
    // at or above that end.
    const int stop = std::min(first, phong ? Trunc(t.y) : LastBelow(t.y));
    for (int py = std::min(first, rows.end - 1); py > stop && py >= rows.first; --py)
      DrawScanline(pixels, n, screen, table, e, s, t, slope, left, py);

    ++e;
    if (!(stop > lowest_row)) {
      pixels.Closing();
      closing = true;
      if (_Quality == 0) return;
    }
  }
}

// What the shading fillers share: the triangle, the scene's arrays for the
// shader, the screen and un-projected blocks, and the state of the pixel at hand.
struct Shading {
  unsigned char* image;
  unsigned char* source;
  __Texture* textures;
  material3ds* materials;
  int materialCount;
  __Triangle3ds* triangle;
  const __Point3ds* screen;
  float cx, cy;
  float A, B, C, D;
  int lightCount;
  light3ds* lights;
  GlassProp* glass;

  unsigned char texturesOn = 0;
  float S[6] = {};
  float areaS = 0.0f;
  float P[6] = {};
  float areaP = 0.0f;
  float M[9] = {};

  __Point normal{};
  float u = 0.0f, v = 0.0f;
  float depth = 0.0f;
  float oldDepth = 0.0f;
  int depthIndex = 0;
  float r = 0.0f, g = 0.0f, b = 0.0f;
  // The engine's own shader changes nothing but the colour it returns while
  // its glass writes no layer: then an edge pixel that the edge does not
  // cover, which would blend nothing, is not shaded at all.
  bool skipUncovered = false;
  bool SkipsUncovered() const { return skipUncovered; }

  // The textures flag and the screen (and, for perspective textures, the
  // un-projected) blocks; false when either block has no area.
  bool Prepare() {
    const bool all_textured =
        screen[0].hasTexture != 0 && screen[1].hasTexture != 0 && screen[2].hasTexture != 0;
    texturesOn = all_textured ? 1 : 0;
    areaS = ScreenArea(screen, S);
    if (areaS == 0.0f) return false;
    if (_Persp_Val != 0.0f && texturesOn != 0) {
      for (int i = 0; i < 3; ++i)
        __ProjectPersp(screen[i].x - cx, screen[i].y - cy, screen[i].z, &P[i], &P[3 + i]);
      areaP = Area(P);
      if (areaP == 0.0f) return false;
    }
    return true;
  }

  bool DepthTest(int px, int py) {
    const float x = static_cast<float>(px), y = static_cast<float>(py);
    if (__ZTestPlane(0, x, y, D, B, A, C, &screen[0], &depth, 0, 0, &depthIndex, &oldDepth))
      return true;
    // Outside the frame the test leaves the depth alone; the pixel still
    // has its depth on the plane, which the neighbour record's
    // interpolation there takes, whatever pixel was handled before.
    if (px < 0 || px >= Zwidth || py < 0 || py >= Zheight)
      depth = PlaneDepth(x, y, D, B, A, C, &screen[0]);
    return false;
  }

  float Shade(int px, int py, __Point* pixel_normal, __PrevInfo* prev) {
    return __RenderOnePixel(cx, cy, image, source, static_cast<float>(px) - cx,
                            static_cast<float>(py) - cy, depth, triangle, materials, materialCount,
                            r, g, b, pixel_normal, texturesOn, u, v, textures, lightCount, lights,
                            prev, glass, A, B, C, D);
  }

  // The edge's coverage of a band or box pixel, as __AAEdgePixel takes it.
  static float Coverage(int px, int py, const Edge& edge) {
    return EdgeCoverage(edge.a, edge.b, edge.c, edge.ab2, edge.length, static_cast<float>(px),
                        static_cast<float>(py), 1.0f, edge.x1, edge.y1, edge.x2, edge.y2);
  }

  // A band or box pixel that passed the depth test is blended by its
  // coverage and hands its depth entry back, so a neighbouring triangle can
  // still draw there.
  void EdgePlot(int px, int py, float coverage, __Point* pixel_normal, __PrevInfo* prev) {
    if (coverage != 0.0f || !skipUncovered) {
      const float opacity = Shade(px, py, pixel_normal, prev);
      if (coverage != 0.0f)
        __BlendPixel(opacity, image, source, r, g, b, px, py, coverage * opacity);
    }
    if (ZBuff != nullptr) ZBuff[depthIndex] = oldDepth;
  }

  // Interior pixels keep their new depth.
  void InteriorPlot(float opacity, int px, int py) {
    __BlendPixel(opacity, image, source, r, g, b, px, py, opacity);
  }
};

// Phong: a normal interpolated per pixel, and the neighbour record chained
// along each scanline through hidden pixels too.
struct PhongPixels : Shading {
  static constexpr bool kPhong = true;
  __PrevInfo prev{};
  float unitNormals[3][3] = {};

  void Interpolate(int px, int py) {
    InterpUnitNormal(&normal, unitNormals, screen, static_cast<float>(px), static_cast<float>(py),
                     depth, S, areaS, P, areaP, texturesOn, &u, &v, M, cx, cy);
  }
  void Remember(int px, int py) {
    prev.nx = normal.x;
    prev.ny = normal.y;
    prev.nz = normal.z;
    prev.x = static_cast<float>(px) - cx;
    prev.y = static_cast<float>(py) - cy;
    prev.u = u;
    prev.v = v;
    prev.valid = 1;
  }

  void Box(int px, int py, const Edge& edge) {
    // An uncovered box pixel would leave the depth entry as it found it.
    const float coverage = Coverage(px, py, edge);
    if (coverage == 0.0f && skipUncovered) return;
    if (!DepthTest(px, py)) return;
    Interpolate(px, py);
    EdgePlot(px, py, coverage, &normal, nullptr);
  }
  void Band(int px, int py, const Edge& edge) {
    const bool visible = DepthTest(px, py);
    Interpolate(px, py);
    if (visible) EdgePlot(px, py, Coverage(px, py, edge), &normal, &prev);
    Remember(px, py);
  }
  void Interior(int px, int py) {
    const bool visible = DepthTest(px, py);
    Interpolate(px, py);
    if (visible) InteriorPlot(Shade(px, py, &normal, &prev), px, py);
    Remember(px, py);
  }
  void NewScanline() { prev.valid = 0; }
  void Closing() { prev.valid = 0; }
};

// Flat: the plane's normal for every pixel and a neighbour record that is
// never valid.
struct FlatPixels : Shading {
  static constexpr bool kPhong = false;
  __Point planeNormal{};
  __PrevInfo noNeighbour{};

  bool Visible(int px, int py) {
    if (!DepthTest(px, py)) return false;
    __InterpTexCoords(&normal, screen, static_cast<float>(px), static_cast<float>(py), depth, S,
                      areaS, P, areaP, texturesOn, &u, &v, M, cx, cy);
    return true;
  }
  // Box and band pixels alike: an uncovered one would leave the depth entry
  // as it found it.
  void EdgePixel(int px, int py, const Edge& edge, __PrevInfo* prev) {
    const float coverage = Coverage(px, py, edge);
    if (coverage == 0.0f && skipUncovered) return;
    if (Visible(px, py)) EdgePlot(px, py, coverage, &planeNormal, prev);
  }
  void Box(int px, int py, const Edge& edge) { EdgePixel(px, py, edge, nullptr); }
  void Band(int px, int py, const Edge& edge) { EdgePixel(px, py, edge, &noNeighbour); }
  void Interior(int px, int py) {
    if (Visible(px, py)) InteriorPlot(Shade(px, py, &planeNormal, &noNeighbour), px, py);
  }
  void NewScanline() {}
  void Closing() {}
};

// Solid: one colour, no depth test and no depth store.
struct SolidPixels {
  static constexpr bool kPhong = false;
  unsigned char* image;
  float r, g, b, opacity;

  // An uncovered pixel is left as it is.
  static bool SkipsUncovered() { return true; }
  void Box(int px, int py, const Edge& edge) { Band(px, py, edge); }
  void Band(int px, int py, const Edge& edge) {
    __AAEdgePixelNoDepth(opacity, image, nullptr, r, g, b, edge.a, edge.b, edge.c, edge.ab2,
                         edge.length, static_cast<float>(px), static_cast<float>(py), 1.0f, edge.x1,
                         edge.y1, edge.x2, edge.y2, nullptr);
  }
  void Interior(int px, int py) { __BlendPixel(opacity, image, nullptr, r, g, b, px, py, opacity); }
  void NewScanline() {}
  void Closing() {}
};

// A triangle in image coordinates with its oriented edge table.
struct ScreenTriangle {
  __Point3ds v[3];
  EdgeEntry table[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
  int lowestRow = 0;
};

// Copies the triangle's vertices with the centre added, puts the top vertex
// first in the table and winds it; false for a degenerate triangle.
bool MakeScreenTriangle(const __Triangle3ds* triangle, const __Point3ds* vertices, int cx, int cy,
                        ScreenTriangle* out) {
  const int32_t index[3] = {triangle->a, triangle->b, triangle->c};
  for (int i = 0; i < 3; ++i) {
    out->v[i] = vertices[index[i]];
    out->v[i].x += static_cast<float>(cx);
    out->v[i].y += static_cast<float>(cy);
  }
  float lowest_y;
  const int top = __TopVertex(3, out->v, out->table, &lowest_y);
  __RotateTriples(3, top, out->table);
  out->lowestRow = Trunc(lowest_y);
  return __FixOrientation(out->table, out->v);
}

// The unit plane (A, B, C, D) of the screen triangle; false for the slivers
// whose normal's z turns out positive.
bool MakePlane(const __Point3ds* v, float* A, float* B, float* C, float* D) {
  float a, b, c;
  __TriangleNormal(v, &a, &b, &c);
  if (c > 0.0f) return false;
  float length = std::sqrt(a * a + b * b + c * c);
  if (length == 0.0f) length = 1.0f;
  *A = a / length;
  *B = b / length;
  *C = c / length;
  *D = -(*A * v[0].x + *B * v[0].y + *C * v[0].z);
  return true;
}

Shading MakeShading(unsigned char* image, unsigned char* source, __Texture* textures,
                    material3ds* materials, int material_count, __Triangle3ds* triangle,
                    const __Point3ds* screen, int cx, int cy, float A, float B, float C, float D,
                    int light_count, light3ds* lights, GlassProp* glass) {
  Shading shading;
  shading.image = image;
  shading.source = source;
  shading.textures = textures;
  shading.materials = materials;
  shading.materialCount = material_count;
  shading.triangle = triangle;
  shading.screen = screen;
  shading.cx = static_cast<float>(cx);
  shading.cy = static_cast<float>(cy);
  shading.A = A;
  shading.B = B;
  shading.C = C;
  shading.D = D;
  shading.lightCount = light_count;
  shading.lights = lights;
  shading.glass = glass;
  shading.skipUncovered = OwnShaderWritesNothing();
  return shading;
}

typedef void (*ShadedFiller)(unsigned char* image, unsigned char* source, int width, int height,
                             __Texture* textures, material3ds* materials, int material_count,
                             __Triangle3ds* triangle, int n, __Point3ds* screen, EdgeEntry* table,
                             int lowest_row, int cx, int cy, float A, float B, float C, float D,
                             int light_count, light3ds* lights, GlassProp* glass);

// The set-up both shaded fillers share: screen copies, oriented edge table, plane.
void SetupShaded(ShadedFiller fill, unsigned char* image, unsigned char* source, int width,
                 int height, __Texture* textures, material3ds* materials, int material_count,
                 __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy, int light_count,
                 light3ds* lights, GlassProp* glass) {
  ScreenTriangle screen;
  if (!MakeScreenTriangle(triangle, vertices, cx, cy, &screen)) return;
  float A, B, C, D;
  if (!MakePlane(screen.v, &A, &B, &C, &D)) return;
  fill(image, source, width, height, textures, materials, material_count, triangle, 3, screen.v,
       screen.table, screen.lowestRow, cx, cy, A, B, C, D, light_count, lights, glass);
}

}  // namespace

void __SetupTrianglePhong(unsigned char* image, unsigned char* source, int width, int height,
                          __Texture* textures, material3ds* materials, int material_count,
                          __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                          int light_count, light3ds* lights, GlassProp* glass) {
  SetupShaded(__FillTrianglePhong, image, source, width, height, textures, materials,
              material_count, triangle, vertices, cx, cy, light_count, lights, glass);
}

void __SetupTriangleFlat(unsigned char* image, unsigned char* source, int width, int height,
                         __Texture* textures, material3ds* materials, int material_count,
                         __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                         int light_count, light3ds* lights, GlassProp* glass) {
  SetupShaded(__FillTriangleFlat, image, source, width, height, textures, materials, material_count,
              triangle, vertices, cx, cy, light_count, lights, glass);
}

void __SetupTriangleSolid(unsigned char* image, int width, int height, __Triangle3ds* triangle,
                          __Point3ds* vertices, int cx, int cy, float r, float g, float b,
                          float opacity) {
  ScreenTriangle screen;
  if (!MakeScreenTriangle(triangle, vertices, cx, cy, &screen)) return;
  __FillTriangleSolid(image, width, height, triangle, 3, screen.v, screen.table, screen.lowestRow,
                      cx, cy, r, g, b, opacity);
}

void __FillTrianglePhong(unsigned char* image, unsigned char* source, int, int, __Texture* textures,
                         material3ds* materials, int material_count, __Triangle3ds* triangle, int n,
                         __Point3ds* screen, EdgeEntry* table, int lowest_row, int cx, int cy,
                         float A, float B, float C, float D, int light_count, light3ds* lights,
                         GlassProp* glass) {
  if (!ScreenIsFinite(n, screen)) return;
  PhongPixels pixels{MakeShading(image, source, textures, materials, material_count, triangle,
                                 screen, cx, cy, A, B, C, D, light_count, lights, glass)};
  if (!pixels.Prepare()) return;
  UnitVertexNormals(screen, pixels.unitNormals);
  if (_Quality != 0 && _UsePhong2 != 0) {
    // Mid-edge normals of the edges 0-1, 1-2 and 2-0, from the stored normals.
    for (int i = 0; i < 3; ++i) {
      const __Point3ds& p = screen[i];
      const __Point3ds& q = screen[(i + 1) % 3];
      pixels.M[3 * i] = (p.nx + q.nx) / 2.0f;
      pixels.M[3 * i + 1] = (p.ny + q.ny) / 2.0f;
      pixels.M[3 * i + 2] = (p.nz + q.nz) / 2.0f;
    }
  }
  ScanTriangle(pixels, n, screen, table, lowest_row);
}

void __FillTriangleFlat(unsigned char* image, unsigned char* source, int, int, __Texture* textures,
                        material3ds* materials, int material_count, __Triangle3ds* triangle, int n,
                        __Point3ds* screen, EdgeEntry* table, int lowest_row, int cx, int cy,
                        float A, float B, float C, float D, int light_count, light3ds* lights,
                        GlassProp* glass) {
  if (!ScreenIsFinite(n, screen)) return;
  FlatPixels pixels{MakeShading(image, source, textures, materials, material_count, triangle,
                                screen, cx, cy, A, B, C, D, light_count, lights, glass)};
  if (!pixels.Prepare()) return;
  pixels.planeNormal = {-A, -B, -C};
  ScanTriangle(pixels, n, screen, table, lowest_row);
}

void __FillTriangleSolid(unsigned char* image, int, int, __Triangle3ds*, int n, __Point3ds* screen,
                         EdgeEntry* table, int lowest_row, int, int, float r, float g, float b,
                         float opacity) {
  if (!ScreenIsFinite(n, screen)) return;
  // A triangle without area (three points on a line, or one point) draws
  // nothing here either, although the orientation fix lets some through.
  float S[6];
  if (ScreenArea(screen, S) == 0.0f) return;
  SolidPixels pixels{image, r, g, b, opacity};
  ScanTriangle(pixels, n, screen, table, lowest_row);
}

// The curved wire: each edge of the patch walked as a chain of chords, each
// chord a shaded line of width _WireSize.
#include "engine/curved.h"

#include <algorithm>
#include <cmath>

#include "engine/bands.h"
#include "engine/curved_patch.h"
#include "engine/geometry.h"
#include "engine/lines.h"

namespace {

// No edge is drawn as more chords than this many per pixel of the frame's
// width plus height; an edge that fits the frame takes about one per 4 pixels.
constexpr double kWireChordsPerFramePixel = 16.0;

struct WireCall {
  unsigned char* target;
  unsigned char* source;
  int width, height;
  __Triangle3ds* triangle;
  __Point3ds* vertices;
  int cx, cy;
  int materialCount;
  material3ds* materials;
  __Texture* textures;
  int lightCount;
  light3ds* lights;
  GlassProp* glass;
};

// How far beyond the frame a chord's shaded line may still reach the frame,
// or the glass of a pixel it shades may read inside it: the line's band with
// its caps, and a whole frame besides.
double WireReach() { return std::fabs(static_cast<double>(_WireSize)) + 5.0 + Zwidth + Zheight; }

// The part of the image plane, lo[axis] <= position < hi[axis], outside
// which a chord whose ends both lie beyond the same side is not drawn.
struct Region {
  double lo[2], hi[2];
};

// The frame widened by the wire's reach: everything a chord may change. In
// a band that takes nothing from a budget, a chord changes only the frame's
// pixels in the band's rows, which its line reaches from no farther than
// WideLineReach.
Region ChordRegion() {
  if (!ShadedLinesKeepToBand()) {
    const double reach = WireReach();
    return {{-reach, -reach}, {Zwidth + reach, Zheight + reach}};
  }
  const double reach = WideLineReach(_WireSize);
  const RowSpan rows = DrawableRows();
  return {{-reach, rows.first - reach}, {Zwidth + reach, rows.end + reach}};
}

bool ChordMissesRegion(float x0, float y0, float x1, float y1, const Region& region) {
  const auto beyond = [&](float a, float b, int axis) {
    return (a < region.lo[axis] && b < region.lo[axis]) ||
           (a >= region.hi[axis] && b >= region.hi[axis]);
  };
  return beyond(x0, x1, 0) || beyond(y0, y1, 1);
}

// The Bernstein control points of each edge's cubic, in the order p runs
// along it: the patch's control values, the inner two carrying the factor 3.
constexpr int kEdgeControl[3][4] = {{2, 8, 7, 1}, {2, 4, 3, 0}, {0, 5, 6, 1}};

// How far along p an edge stays beyond the side of the region that one of
// its samples lies beyond. On each image axis the slope of the edge's cubic
// is at most 3 times the largest step between its control points; the
// margin covers the rounding of the evaluated sum and of the sample's float
// image position (reach being the frame's widest), far below a millionth of
// the values involved. Without finite control values nothing is bounded.
class EdgeRun {
 public:
  EdgeRun(const CurvedPatch& patch, int edge, float centre_x, float centre_y, double reach,
          const Region& region)
      : region_(region) {
    const int* control = kEdgeControl[edge < 2 ? edge : 2];
    const float centre[2] = {centre_x, centre_y};
    for (int axis = 0; axis < 2; ++axis) {
      double point[4], largest = std::fabs(centre[axis]) + reach;
      for (int i = 0; i < 4; ++i) {
        const double value = patch.position[control[i]][axis];
        point[i] = i == 1 || i == 2 ? value / 3.0 : value;
        largest = std::max(largest, std::fabs(value));
      }
      double steepest = 0.0;
      for (int i = 0; i < 3; ++i) steepest = std::max(steepest, std::fabs(point[i + 1] - point[i]));
      slope_[axis] = 3.0 * steepest;
      margin_[axis] = 1e-6 * largest + 2.0;
      usable_ = usable_ && std::isfinite(slope_[axis]) && std::isfinite(margin_[axis]);
    }
  }

  // The span of p after a sample at image position (x, y) over which every
  // sample lies beyond the same side as it; 0 when it lies beyond none.
  double After(float x, float y) const {
    if (!usable_) return 0.0;
    const float at[2] = {x, y};
    double run = 0.0;
    for (int axis = 0; axis < 2; ++axis) {
      const double before = region_.lo[axis] - at[axis], beyond = at[axis] - region_.hi[axis];
      const double depth = std::max(before, beyond) - margin_[axis];
      // A level edge stays beyond for all of p that is left, which is less than 1.
      if (depth > 0.0) run = std::max(run, slope_[axis] > 0.0 ? depth / slope_[axis] : 1.0);
    }
    return run;
  }

 private:
  double slope_[2], margin_[2];
  Region region_;
  bool usable_ = true;
};

// The parameter step along every edge: 4 / the shorter of the edges at V2
// (a length of 0 counting as 1), but never finer than the chord budget allows.
double WireStep(const __Point3ds& v0, const __Point3ds& v1, const __Point3ds& v2) {
  const double d1 = __Distance3(v0.x, v0.y, v0.z, v2.x, v2.y, v2.z);
  const double d2 = __Distance3(v1.x, v1.y, v1.z, v2.x, v2.y, v2.z);
  const double r1 = d1 > 0.0 ? 1.0 / d1 : 1.0;
  const double r2 = d2 > 0.0 ? 1.0 / d2 : 1.0;
  const double chords = std::max(1.0, kWireChordsPerFramePixel * (Zwidth + Zheight));
  return std::max(4.0 * std::min(r1, r2), 1.0 / chords);
}

void DrawEdge(uint8_t edge, const CurvedPatch& patch, double step, const WireCall& c) {
  const float centre_x = static_cast<float>(c.cx);
  const float centre_y = static_cast<float>(c.cy);
  const Region region = ChordRegion();
  const EdgeRun run(patch, edge, centre_x, centre_y, WireReach(), region);
  float previous_x = 0.0f, previous_y = 0.0f;
  for (double p = 0.0;;) {
    const bool last = !(p < 1.0);
    if (last) p = 1.0;
    PatchWeights w;
    if (edge == 0)
      w = WeightsAt(0.0, p, 1.0 - p);
    else if (edge == 1)
      w = WeightsAt(p, 0.0, 1.0 - p);
    else
      w = WeightsAt(1.0 - p, p, 0.0);
    double at[3];
    Evaluate(patch.position, w, at);
    const float x = static_cast<float>(at[0]), y = static_cast<float>(at[1]),
                z = static_cast<float>(at[2]);
    const float x0 = previous_x + centre_x, x1 = x + centre_x;
    const float y0 = previous_y + centre_y, y1 = y + centre_y;
    // A chord shorter than a pixel along both axes draws nothing: its
    // normal is not even needed.
    if (p > 0.0 && !WideLineIsEmpty(x0, y0, x1, y1)) {
      double n[3];
      Evaluate(patch.normal, w, n);
      const bool faces = (n[2] >= -0.2 && _DrawBackFaces1 == 0) ||
                         (n[2] < 0.0 && _DrawBackFaces1 != 0) || _DubleSide != 0;
      if (faces && !ChordMissesRegion(x0, y0, x1, y1, region)) {
        const float nx = static_cast<float>(n[0]), ny = static_cast<float>(n[1]),
                    nz = static_cast<float>(n[2]);
        // The plane through the sample in image coordinates, all four
        // signs reversed: the line hands the shader -a, -b, -c as the normal.
        const float plane_d = (x + centre_x) * nx + (y + centre_y) * ny + z * nz;
        __DrawLineShaded(x0, x1, y0, y1, _WireSize, c.target, c.source, c.width, c.height,
                         c.textures, c.materials, c.materialCount, c.triangle, 3, c.vertices, c.cx,
                         c.cy, -nx, -ny, -nz, plane_d, c.lightCount, c.lights, c.glass);
      }
    }
    previous_x = x;
    previous_y = y;
    if (last) break;
    // Samples the edge is sure to keep beyond the side this one lies beyond
    // draw no chord: p runs on over them by the same additions, and the
    // last of them is evaluated, as the start of the next chord that may be
    // drawn.
    const double beyond = run.After(x + centre_x, y + centre_y);
    double next = p + step;
    for (double q = next; q < 1.0 && q - p < beyond; q += step) next = q;
    p = next;
  }
}

// Edges first to last of the triangle over one patch: each edge's own patch
// would be the same.
void DrawWire(uint8_t first, uint8_t last, const WireCall& c) {
  CurvedPatch patch;
  if (!BuildCurvedPatch(c.triangle, c.vertices, false, &patch)) return;
  if (PatchMissesFrame(patch, c.cx, c.cy, WireReach())) return;
  const double step =
      WireStep(c.vertices[c.triangle->a], c.vertices[c.triangle->b], c.vertices[c.triangle->c]);
  for (int edge = first; edge <= last; ++edge) DrawEdge(static_cast<uint8_t>(edge), patch, step, c);
}

}  // namespace

void __DrawCurvedEdge(uint8_t edge, unsigned char* target, unsigned char* source, int width,
                      int height, __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                      int material_count, material3ds* materials, __Texture* textures,
                      int light_count, light3ds* lights, GlassProp* glass) {
  DrawWire(edge, edge,
           {target, source, width, height, triangle, vertices, cx, cy, material_count, materials,
            textures, light_count, lights, glass});
}

void __DrawTriangleCurvedWire(unsigned char* target, unsigned char* source, int width, int height,
                              __Triangle3ds* triangle, __Point3ds* vertices, int cx, int cy,
                              int material_count, material3ds* materials, __Texture* textures,
                              int light_count, light3ds* lights, GlassProp* glass) {
  DrawWire(0, 2,
           {target, source, width, height, triangle, vertices, cx, cy, material_count, materials,
            textures, light_count, lights, glass});
}

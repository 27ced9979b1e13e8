// The curved surface of a triangle: a cubic triangular Bezier patch built
// from its three vertices and vertex normals alone, shared by the curved,
// wire and silhouette draws, and the parameter walk of the curved and
// silhouette draws over it.
#pragma once

#include <cmath>

#include "engine/qf_engine.h"

// g is the float nearest one third; f = 1 - g in doubles.
constexpr double kPatchG = 0.33333334f;
constexpr double kPatchF = 1.0 - kPatchG;

// No triangle takes more samples than this many per frame pixel: far above
// what any triangle that fits a frame needs (about 4 for one as large as the
// frame), and a bound on the time a far-flung vertex can cost.
constexpr double kCurvedSamplesPerPixel = 16.0;

// Control data of the patch, in the order of the evaluation's sum: corners V0,
// V1, V2, edge points E(0->2), E(2->0), E(0->1), E(1->0), E(1->2), E(2->1),
// centre G. Positions and normals are the float control values times the
// sum's factor (1, 3 or 6, multiplied in floats) held as doubles.
struct CurvedPatch {
  double position[10][3];
  double normal[10][3];
  double uv[10][2];
  bool textured;
};

// A vertex normal the tangent-plane projection can use: its squared length is
// a finite float above 0.
bool UsableNormal(const __Point3ds& p);

// Builds the patch of the triangle; false when a vertex normal is not usable
// (the surface has no points then). with_texture false leaves the triangle
// untextured whatever its vertices hold.
bool BuildCurvedPatch(const __Triangle3ds* triangle, const __Point3ds* vertices, bool with_texture,
                      CurvedPatch* patch);

// The ten Bernstein weights at (t, s, w), in the patch's order.
struct PatchWeights {
  double b[10];
};

inline PatchWeights WeightsAt(double t, double s, double w) {
  return {{t * t * t, s * s * s, w * w * w, t * t * w, t * w * w, t * t * s, t * s * s, s * s * w,
           s * w * w, t * s * w}};
}

// Component k of the sum over the ten control values; each component is a
// sum of its own, so one can be evaluated without the others.
inline double EvaluateComponent(const double (*control)[3], const PatchWeights& w, int k) {
  double sum = w.b[0] * control[0][k];
  for (int i = 1; i < 10; ++i) sum += w.b[i] * control[i][k];
  return sum;
}

inline void Evaluate(const double (*control)[3], const PatchWeights& w, double out[3]) {
  double x = w.b[0] * control[0][0], y = w.b[0] * control[0][1], z = w.b[0] * control[0][2];
  for (int i = 1; i < 10; ++i) {
    x += w.b[i] * control[i][0];
    y += w.b[i] * control[i][1];
    z += w.b[i] * control[i][2];
  }
  out[0] = x;
  out[1] = y;
  out[2] = z;
}

inline void EvaluateUV(const CurvedPatch& p, const PatchWeights& w, double* u, double* v) {
  double su = w.b[0] * p.uv[0][0], sv = w.b[0] * p.uv[0][1];
  for (int i = 1; i < 10; ++i) {
    su += w.b[i] * p.uv[i][0];
    sv += w.b[i] * p.uv[i][1];
  }
  *u = su;
  *v = sv;
}

// The facing rule of the curved and subdivided fills for a normal's z: front
// faces in the front pass, back faces in the back-face pass, every face in
// the front pass when glass refracts through several layers, or all of them
// on both sides.
inline bool CurvedFillFaces(double nz) {
  return (nz >= 0.0 && _DrawBackFaces1 == 0) || (nz < 0.0 && _DrawBackFaces1 != 0) ||
         (_UseMultyRefract == 2 && _DrawBackFaces1 == 0) || _DubleSide != 0;
}

// Pixel column or row of a sample coordinate: c + 0.5 truncated toward zero;
// false when that is not a finite number in the range of an int.
inline bool PixelOf(double c, int* pixel) {
  const double v = c + 0.5;
  if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
  *pixel = static_cast<int>(v);
  return true;
}

// True when every control point lies beyond one side of the Zwidth x Zheight
// frame: the patch stays inside their hull, so none of its samples can land
// in the frame. reach widens the frame, for draws that reach beyond a sample.
bool PatchMissesFrame(const CurvedPatch& patch, int cx, int cy, double reach);

// The steps of t and s: 1 / (2 d) for the edges V0-V2 and V1-V2 at V2 (1 for
// an edge of length 0), widened alike when the triangle would take more than
// kCurvedSamplesPerPixel samples per frame pixel.
void CurvedSampleSteps(const __Point3ds& v0, const __Point3ds& v1, const __Point3ds& v2,
                       double* step_t, double* step_s);

// The patch of the triangle and its sampling steps; false when there is
// nothing to sample: an empty frame, a vertex normal that is not usable, or a
// patch beyond one side of the frame.
bool PrepareCurvedSampling(const __Triangle3ds* triangle, const __Point3ds* vertices, int cx,
                           int cy, bool with_texture, CurvedPatch* patch, double* step_t,
                           double* step_s);

// The sample walk of the curved and silhouette draws: rows of s from 0 while
// s <= 1, samples of t from 0 while t < 1. row_start() opens each row;
// missed() is told of each sample outside the frame and of the first beyond
// the edge V0-V1 (the rest of the row lies beyond it too, and being told
// again changes nothing); sample(weights, position, X, Y) receives each
// other one.
template <typename RowStart, typename Missed, typename Sample>
void WalkCurvedSamples(const CurvedPatch& patch, double step_t, double step_s, int cx, int cy,
                       RowStart row_start, Missed missed, Sample sample) {
  for (double s = 0.0; s <= 1.0; s += step_s) {
    row_start();
    for (double t = 0.0; t < 1.0; t += step_t) {
      if (t + s > 1.0) {
        missed();
        break;
      }
      const PatchWeights w = WeightsAt(t, s, 1.0 - t - s);
      double p[3];
      Evaluate(patch.position, w, p);
      int X, Y;
      if (!PixelOf(p[0] + cx, &X) || !PixelOf(p[1] + cy, &Y) || X < 0 || Y < 0 || X >= Zwidth ||
          Y >= Zheight) {
        missed();
        continue;
      }
      sample(w, p, X, Y);
    }
  }
}

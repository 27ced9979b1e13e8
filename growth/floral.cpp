#include "growth/floral.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "growth/grown_triangle.h"

// Sums and products with the written double constants are formed in double
// and rounded back to float on purpose: the pattern depends on those bits.

namespace {

// Maps a generator's local frame (rotated by rot, origin at (x, y)) to the frame.
struct LocalFrame {
  LocalFrame(float rot, float x, float y) : c(std::cos(rot)), s(std::sin(rot)), x(x), y(y) {}

  void Map(float u, float v, CornerPosition& p) const {
    p.x = u * c - v * s + x;
    p.y = u * s + v * c + y;
  }

  float c, s, x, y;
};

// Truncation toward zero that saturates instead of overflowing; a segment
// count computed from extreme parameters stays a valid int (and the budget
// bounds what it grows).
int TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

// The generators below return false once the triangle budget is spent: every
// caller then stops growing.

bool Curl(QFTrList& list, float x, float y, float z, float heading, float turn, float size) {
  const float s = turn > 0 ? 2.1991143f / 8 : -(2.1991143f / 8);
  float a =
      turn > 0 ? static_cast<float>(heading + 2.1991144) : static_cast<float>(heading - 2.1991144);
  float r = size / 3;
  const float dr = size / 20;
  for (int i = 0; i < 8; ++i) {
    if (i == 7) r = r / 2;
    CornerPosition k0{x, y, z};
    CornerPosition k1{x + r * std::cos(a), y + r * std::sin(a), z / 2};
    CornerPosition k2{x + (r + dr) * std::cos(a + s), y + (r + dr) * std::sin(a + s),
                      static_cast<float>(z * 1.5)};
    if (turn < 0) {
      std::swap(k1.x, k2.x);
      std::swap(k1.y, k2.y);
    }
    if (!AppendGrownTriangle(list, k0, k1, k2, 0)) return false;
    a += s;
    r += dr;
  }
  return true;
}

bool Leaf(float* end_x, float* end_y, QFTrList& list, float x, float y, float z, float heading,
          float arc, float length, int segments, float width, int depth) {
  if (segments <= 0) return true;
  const int n = std::max(segments, 7);
  const float rot = heading - arc;
  const LocalFrame frame(rot, x, y);
  const float da = arc / n;
  const float dr = length / n;
  // The leaf winds from the local origin into the centre O.
  const float ox = -length * std::cos(arc);
  const float oy = -length * std::sin(arc);

  CornerPosition end{};
  frame.Map(ox + (length / 2) * std::cos(arc / 2), oy + (length / 2) * std::sin(arc / 2), end);
  *end_x = end.x;
  *end_y = end.y;

  float qx = ox + length * std::cos(arc);
  float qy = oy + length * std::sin(arc);
  float a = arc;
  float r = length;
  float last_k1_height = z;
  for (int64_t k = 0; k <= n; ++k) {
    const float px = ox + (r - dr) * std::cos(a - da);
    const float py = oy + (r - dr) * std::sin(a - da);
    float theta = a + da;
    if (arc >= 0) theta = static_cast<float>(theta - 3.141592);
    const float tip = width * r;
    CornerPosition k0, k1, k2;
    frame.Map(qx, qy, k0);
    frame.Map(qx + 2 * (px - qx), qy + 2 * (py - qy), k1);  // one chord step beyond p
    frame.Map(px + tip * -std::sin(theta), py + tip * std::cos(theta), k2);
    a = a - da;
    k0.z = z;
    k1.z = static_cast<float>((z + r) / 1.5);
    k2.z = static_cast<float>((z + r) * 1.5);
    if (arc < 0) {
      std::swap(k1.x, k2.x);
      std::swap(k1.y, k2.y);
    }
    if (!AppendGrownTriangle(list, k0, k1, k2, 0)) return false;
    last_k1_height = k1.z;
    qx = px;
    qy = py;
    r = r - dr;
  }

  // The draw is made at every depth, also where the depth forbids the branch.
  const int d = std::rand();
  if (d % 100 > 35 && depth < 2) {
    const double cr = std::cos(static_cast<double>(rot));
    const double sr = std::sin(static_cast<double>(rot));
    const double u = ox + 0.75 * length * std::cos(0.75 * arc);
    const double v = oy + 0.75 * length * std::sin(0.75 * arc);
    const float sx = static_cast<float>(u * cr - v * sr + x);
    const float sy = static_cast<float>(u * sr + v * cr + y);
    const float sub_heading = arc >= 0 ? static_cast<float>(rot + arc + 1.570796)
                                       : static_cast<float>(rot + arc - 1.570796);
    float sub_end_x = 0, sub_end_y = 0;
    return Leaf(&sub_end_x, &sub_end_y, list, sx, sy, last_k1_height + 50, sub_heading,
                static_cast<float>(-arc * 0.85), static_cast<float>(length * 0.6),
                TruncToInt(n * 0.75), static_cast<float>(width * 0.8), depth + 1);
  }
  return true;
}

}  // namespace

float VectorAngleDegrees(float ax, float ay, float bx, float by) {
  if (ay == by) return ax >= bx ? 90.0f : 270.0f;
  float d = static_cast<float>(-57.29579143313326 * std::atan((ax - bx) / (ay - by)));
  if (ay > by) {
    d += 180;
  } else if (bx > ax) {
    d += 360;
  }
  return d;
}

void GrowFloralCurl(QFTrList& list, float x, float y, float z, float heading, float turn,
                    float size) {
  Curl(list, x, y, z, heading, turn, size);
}

void GrowFloralLeaf(float* end_x, float* end_y, QFTrList& list, float x, float y, float z,
                    float heading, float arc, float length, int segments, float width, int depth) {
  Leaf(end_x, end_y, list, x, y, z, heading, arc, length, segments, width, depth);
}

void GrowFloralStem(int count, QFTrList& list, float x, float y, float z, float heading, float turn,
                    float length, float width, uint8_t curl_first, int segment_hint) {
  int n = 10;
  if (segment_hint >= 1) {
    n = segment_hint;
  } else if (segment_hint != 0) {
    const float root = std::sqrt(std::fabs(length / segment_hint) + 1);
    n = std::max(TruncToInt(7 * std::fabs(turn) * root), 7);
  }

  float end_x = x, end_y = y;
  if (curl_first) {
    if (!Curl(list, x, y, z, heading, turn, length)) return;
  } else {
    const float across = turn > 0 ? static_cast<float>(heading - 1.570796 + turn / 3)
                                  : static_cast<float>(heading + 1.570796 + turn / 3);
    if (!Leaf(&end_x, &end_y, list, x, y, z, across, -turn / 2, length / 2, n / 2, width / 2, 0))
      return;
  }

  // The heading bends by the same clamped amount after every leaf.
  float bend = static_cast<float>(0.3 * turn);
  if (bend > 0.785398) bend = static_cast<float>(0.785398);
  if (bend < -0.785398) bend = static_cast<float>(-0.785398);

  float px = x, py = y;
  float arc = turn, len = length, w = width, h = heading, height = z;
  int segments = n;
  for (int pass = 0; pass < count; ++pass) {
    end_x = px;
    end_y = py;
    if (!Leaf(&end_x, &end_y, list, px, py, height, h, arc, len, segments, w, 0)) return;
    px = end_x;
    py = end_y;
    const int d = std::rand();
    const float f = static_cast<float>(d % 2000 - 1000) / 2000;
    height += 10;
    h += bend;
    arc = static_cast<float>(-arc * 1.25);  // alternate sides, opening wider
    len = static_cast<float>(len * 0.8 * ((f + 1) / 8 + 0.75));
    w = static_cast<float>(0.85 * width);
    segments = TruncToInt(segments * 1.15);
  }
}

void GrowFloralFern(uint8_t mode, QFTrList& list, float x, float y, float z, float heading,
                    float arc, float length, float width, int count, int segment_hint, float shrink,
                    float leaf_arc, float leaf_arc_step) {
  if (count < 1) return;
  const float rot = heading - arc;
  const LocalFrame frame(rot, x, y);
  float da = arc / count;
  float dr = length / count;
  const float da_shrink = shrink * da / count;
  const float dr_shrink = shrink * dr / count;
  const float ox = -length * std::cos(arc);
  const float oy = -length * std::sin(arc);

  float s = 10;
  if (segment_hint > 0) {
    s = static_cast<float>(segment_hint);
  } else if (segment_hint != 0) {
    s = 3 * std::fabs(leaf_arc) * std::sqrt(std::fabs(length / segment_hint) + 1);
  }

  const bool turns_with_stem = (mode & 1) != 0;
  const bool mirrored = mode >= 2;
  float a = arc, r = length, height = z;
  for (int i = count; i >= 0; --i) {
    CornerPosition p{};
    frame.Map(ox + r * std::cos(a), oy + r * std::sin(a), p);
    const float leaf_length = static_cast<float>(0.25 * length * (i + 0.4) / count);
    float la = leaf_arc + leaf_arc_step * (count - i);
    if (leaf_length < 3) return;
    if (std::fabs(la) < 0.00001) la = arc < 0 ? -0.00001f : 0.00001f;
    float leaf_heading = turns_with_stem ? static_cast<float>(rot + a + 2 * da + 1.570796)
                                         : static_cast<float>(rot + arc + 1.570796);
    const int leaf_segments = TruncToInt(s);
    float end_x = 0, end_y = 0;
    if (!Leaf(&end_x, &end_y, list, p.x, p.y, height, leaf_heading, la, leaf_length, leaf_segments,
              width, 3))
      return;
    leaf_heading = static_cast<float>(leaf_heading + 3.141592);
    if (mirrored) la = -la;
    if (!Leaf(&end_x, &end_y, list, p.x, p.y, height, leaf_heading, la, leaf_length, leaf_segments,
              width, 3))
      return;
    height -= 50;
    dr -= dr_shrink;
    da -= da_shrink;
    s = std::max(static_cast<float>(s - 0.5), 7.0f);
    r -= dr;
    a -= da;
  }
}

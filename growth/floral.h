// The Floral generators: stems and ferns of curled leaves. Positions are frame
// pixels about the frame centre (y downward), heights in the same unit, angles
// in radians. Every triangle goes through AppendGrownTriangle, so growth stops
// quietly at the render's triangle budget; memory running out before it throws
// std::bad_alloc. The draws
// from rand() happen in a fixed order, which together with the caller's seed
// decides the pattern.
#pragma once

#include <cstdint>

#include "growth/pattern_list.h"

// Bearing in degrees of (ax - bx, ay - by): 0 towards -y, 90 towards +x,
// 180 towards +y, 270 towards -x.
float VectorAngleDegrees(float ax, float ay, float bx, float by);

// A fan of 8 triangles around (x, y) sweeping the way the sign of turn says.
// Makes no draw.
void GrowFloralCurl(QFTrList& list, float x, float y, float z, float heading, float turn,
                    float size);

// A spiral band of max(segments, 7) + 1 triangles from (x, y) into its centre,
// then one draw that may branch into a smaller mirrored leaf while depth < 2.
// Writes the leaf's end point unless segments <= 0 (then nothing happens).
void GrowFloralLeaf(float* end_x, float* end_y, QFTrList& list, float x, float y, float z,
                    float heading, float arc, float length, int segments, float width, int depth);

// A chain of count leaves alternating sides, opened by a curl (curl_first set)
// or a half-size leaf across the heading. A segment hint of 1 or more is the
// segments per leaf; otherwise they follow from turn, length and the hint.
void GrowFloralStem(int count, QFTrList& list, float x, float y, float z, float heading, float turn,
                    float length, float width, uint8_t curl_first, int segment_hint);

// Pairs of leaves along a spiral stem, shrinking towards its end. Odd modes
// turn the pairs with the stem; modes 2 and 3 mirror the second leaf.
void GrowFloralFern(uint8_t mode, QFTrList& list, float x, float y, float z, float heading,
                    float arc, float length, float width, int count, int segment_hint, float shrink,
                    float leaf_arc, float leaf_arc_step);

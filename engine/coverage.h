// Coverage and the coverage plot: line coefficients, a pixel's coverage by an
// anti-aliased edge or segment, and the blend of a colour into a pixel with it.
#pragma once

#include "engine/qf_engine.h"

// Line a*x + b*y + c = 0 through (x1, y1) and (x2, y2).
void __LineCoefs(float x1, float y1, float x2, float y2, float* a, float* b, float* c);

// The coverage (0 to 1) of pixel (x, y) by an anti-aliased edge of the given
// width: by its line where the pixel's foot lies on the segment, by the round
// cap of the nearer end point beyond it; 0 for a segment shorter than about a
// tenth of a pixel. What __AAEdgePixel blends by.
float EdgeCoverage(float la, float lb, float lc, float ab2, float ab_length, float x, float y,
                   float width, float x1, float y1, float x2, float y2);

// Blends colour r, g, b into pixel (x, y) of image with coverage times
// opacity; a coverage of 0 changes nothing.
void PlotCoverage(float opacity, unsigned char* image, unsigned char* source, float r, float g,
                  float b, float x, float y, float coverage);

// Blends colour r, g, b with the edge's coverage of pixel (x, y) into image,
// with a round cap beyond the segment's end points, then stores leave_depth in
// ZBuff[depth_index] when a depth buffer is set.
void __AAEdgePixel(float opacity, unsigned char* image, unsigned char* source, float depth,
                   float leave_depth, int depth_index, float r, float g, float b, float la,
                   float lb, float lc, float ab2, float ab_length, float x, float y, float width,
                   float x1, float y1, float x2, float y2, __Point* normal);

// __AAEdgePixel for callers that have no depth for the pixel: no depth entry changes.
void __AAEdgePixelNoDepth(float opacity, unsigned char* image, unsigned char* source, float r,
                          float g, float b, float la, float lb, float lc, float ab2,
                          float ab_length, float x, float y, float width, float x1, float y1,
                          float x2, float y2, __Point* normal);

// Coverage by the edge's line alone, for a pixel whose foot lies on the segment.
void __AALinePixel(float opacity, unsigned char* image, unsigned char* source, float depth,
                   float leave_depth, int depth_index, float r, float g, float b, float la,
                   float lb, float lc, float ab_length, float x, float y, float width,
                   __Point* normal);

// Plots r, g, b (0 .. __MaxChannel) into pixel (x, y) of image with the coverage.
void __BlendPixel(float opacity, unsigned char* image, unsigned char* source, float r, float g,
                  float b, int x, int y, float coverage);

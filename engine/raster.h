// Raster and geometry helpers shared by the fillers, the line modes, the
// curved modes and the scene loops: line coefficients, edge coverage, the
// coverage plot, edge tables, the plane depth test, interpolated normals and
// texture coordinates, face normals.
#pragma once

#include <cstdint>

#include "engine/qf_engine.h"

// One edge of an edge table over a vertex array: from vertex start to end.
struct EdgeEntry {
    uint8_t start;
    uint8_t end;
    uint8_t spare;
};
static_assert(sizeof(EdgeEntry) == 3, "edge entry layout");

// Line a*x + b*y + c = 0 through (x1, y1) and (x2, y2).
void __LineCoefs(float x1, float y1, float x2, float y2, float* a, float* b, float* c);

// Blends colour r, g, b with the edge's coverage of pixel (x, y) into image,
// with a round cap beyond the segment's end points, then stores leaveDepth in
// ZBuff[depthIndex] when a depth buffer is set.
void __AAEdgePixel(float opacity, unsigned char* image, unsigned char* source, float depth,
                   float leaveDepth, int depthIndex, float r, float g, float b, float la, float lb,
                   float lc, float ab2, float abLength, float x, float y, float width, float x1,
                   float y1, float x2, float y2, __Point* normal);

// __AAEdgePixel for callers that have no depth for the pixel: no depth entry changes.
void __AAEdgePixelNoDepth(float opacity, unsigned char* image, unsigned char* source, float r,
                          float g, float b, float la, float lb, float lc, float ab2,
                          float abLength, float x, float y, float width, float x1, float y1,
                          float x2, float y2, __Point* normal);

// Coverage by the edge's line alone, for a pixel whose foot lies on the segment.
void __AALinePixel(float opacity, unsigned char* image, unsigned char* source, float depth,
                   float leaveDepth, int depthIndex, float r, float g, float b, float la, float lb,
                   float lc, float abLength, float x, float y, float width, __Point* normal);

// Plots r, g, b (0 .. __MaxChannel) into pixel (x, y) of image with the coverage.
void __BlendPixel(float opacity, unsigned char* image, unsigned char* source, float r, float g,
                  float b, int x, int y, float coverage);

// Finds, from entry first on, the edge that crosses scanline y and returns
// where; also its line, end points and the run of the edge over one row.
float __EdgeAtScanline(int n, int first, const __Point3ds* vertices, const EdgeEntry* table,
                       float y, float* a, float* b, float* c, float* ab2, float* abLength,
                       float* x1, float* y1, float* x2, float* y2, float* run);

// Depth test of pixel (x, y) against the plane a*X + b*Y + c*Z + d = 0 and
// ZBuff; a visible pixel's depth replaces the entry, whose old value is handed back.
bool __ZTestPlane(unsigned char unused, float x, float y, float d, float b, float a, float c,
                  const __Point3ds* fallback, float* depth, int cx, int cy, int* index,
                  float* oldDepth);

// The pixel's normal by barycentric weights over the three vertex copies, and
// its texture coordinates when textures is set. S and P hold x0, x1, x2, y0,
// y1, y2 of the vertices and of the un-projected vertices; M the mid-edge
// normals of edges 0-1, 1-2 and 2-0.
void __InterpNormalPersp(__Point* normal, const __Point3ds* vertices, float x, float y, float z,
                         const float* S, float areaS, const float* P, float areaP,
                         unsigned char textures, float* u, float* v, const float* M, float cx,
                         float cy);

// The three vertex normals scaled to unit length (a zero normal stays zero),
// as __InterpNormalPersp blends them: the same for every pixel of a triangle.
void UnitVertexNormals(const __Point3ds* vertices, float N[3][3]);

// __InterpNormalPersp over normals N already made by UnitVertexNormals.
void InterpUnitNormal(__Point* normal, const float N[3][3], const __Point3ds* vertices, float x,
                      float y, float z, const float* S, float areaS, const float* P, float areaP,
                      unsigned char textures, float* u, float* v, const float* M, float cx,
                      float cy);

// __InterpNormalPersp's texture coordinates alone.
void __InterpTexCoords(__Point* normal, const __Point3ds* vertices, float x, float y, float z,
                       const float* S, float areaS, const float* P, float areaP,
                       unsigned char textures, float* u, float* v, const float* M, float cx,
                       float cy);

// Un-projects a point warped by __AddPersp.
void __ProjectPersp(float x, float y, float z, float* px, float* py);

// (Pc - Pb) x (Pa - Pb), not normalised; z >= 0 faces the viewer.
void __FaceNormal(const __Triangle3ds* triangle, const __Point3ds* vertices, float* nx, float* ny,
                  float* nz);

// (V0 - V1) x (V2 - V1) of three consecutive vertices: the plane normal.
void __TriangleNormal(const __Point3ds* vertices, float* nx, float* ny, float* nz);

// Index of the entry whose start vertex has the largest y (the later on a
// tie); writes the smallest start y.
int __TopVertex(int n, const __Point3ds* vertices, const EdgeEntry* table, float* smallestY);

// Moves entries k .. n - 1 to the front of the table.
void __RotateTriples(int n, int k, EdgeEntry* table);

// Winds a triangle's table so that its inside lies on the negative side of
// every edge line, exchanging two vertex records when needed; false for a
// degenerate triangle.
bool __FixOrientation(const EdgeEntry* table, __Point3ds* vertices);

// Where the line through P with direction n meets the plane n.X + d = 0.
void __LinePlaneIntersect(float px, float py, float pz, float nx, float ny, float nz, float* ox,
                          float* oy, float* oz, float nx2, float ny2, float nz2, float d);

double __Distance3(float x1, float y1, float z1, float x2, float y2, float z2);

// Determinant of a 3 x 3 matrix given row by row.
float __Det3(const float* m);

#include "engine/raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/scene_state.h"

int __RowBytes = 0;
int __MaxChannel = 255;

void __LineCoefs(float x1, float y1, float x2, float y2, float* a, float* b, float* c) {
    *a = y2 - y1;
    *b = x1 - x2;
    *c = -*a * x1 - *b * y1;
}

namespace {

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

template <typename Channel>
Channel ClampChannel(float v, float maxChannel) {
    if (!(v >= 0.0f)) v = 0.0f;  // a NaN colour stores as 0 too
    if (v > maxChannel) v = maxChannel;
    return static_cast<Channel>(v);
}

template <typename Channel>
void BlendInto(Channel* pixel, float r, float g, float b, float coverage) {
    const float maxChannel = static_cast<float>(__MaxChannel);
    const float colour[3] = {r, g, b};
    if (coverage == 1.0f) {
        for (int k = 0; k < 3; ++k) pixel[k] = ClampChannel<Channel>(colour[k], maxChannel);
        pixel[3] = static_cast<Channel>(__MaxChannel);
        return;
    }
    const float alpha = coverage * maxChannel;
    const Channel present = pixel[3];
    if (present == 0) {
        for (int k = 0; k < 3; ++k) pixel[k] = ClampChannel<Channel>(colour[k], maxChannel);
        pixel[3] = static_cast<Channel>(std::min(alpha, maxChannel));
        return;
    }
    const float keep = 1.0f - coverage;
    for (int k = 0; k < 3; ++k)
        pixel[k] = ClampChannel<Channel>(coverage * colour[k] + keep * static_cast<float>(pixel[k]),
                                         maxChannel);
    if (alpha > static_cast<float>(present)) pixel[3] = static_cast<Channel>(alpha);
}

// Coverage of the pixel by the edge's line and its plot; no depth store.
void LineCoverage(float opacity, unsigned char* image, unsigned char* source, float r, float g,
                  float b, float la, float lb, float lc, float abLength, float x, float y,
                  float width) {
    float d = (la * x + lb * y + lc) / abLength;
    if (_DrawMode <= 2) {
        d = std::fabs(d);
    } else if (d < 0.0f) {
        // Filled modes: the band just inside the edge is fully covered, the
        // interior beyond it is left to the filler's span.
        d = -d < 0.5f ? 0.0f : width;
    }
    const float coverage = Clamp01(width - d);
    if (coverage != 0.0f)
        __BlendPixel(opacity, image, source, r, g, b, static_cast<int>(x), static_cast<int>(y),
                     coverage * opacity);
}

// Coverage by the segment: returns true when the pixel's foot lies on the
// segment, leaving the line coverage to the caller; plots the round cap otherwise.
bool SegmentCap(float opacity, unsigned char* image, unsigned char* source, float r, float g,
                float b, float la, float lb, float lc, float ab2, float x, float y, float width,
                float x1, float y1, float x2, float y2) {
    const float t = (la * x + lb * y + lc) / ab2;
    float at = la * t;
    float bt = lb * t;
    if (la == 0.0f || lb == 0.0f) {
        if (std::fabs(at) < 0.0001f) at = 0.0f;
        if (std::fabs(bt) < 0.0001f) bt = 0.0f;
    }
    const float fx = x - at;
    const float fy = y - bt;
    const float minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const float minY = std::min(y1, y2), maxY = std::max(y1, y2);
    bool outside;
    if (maxX - minX < 0.0001f)
        outside = fy < minY || fy > maxY;
    else if (maxY - minY < 0.0001f)
        outside = fx < minX || fx > maxX;
    else
        outside = fx < minX || fx > maxX || fy < minY || fy > maxY;
    if (!outside) return true;

    const bool first =
        std::fabs(fx - x1) + std::fabs(fy - y1) < std::fabs(fx - x2) + std::fabs(fy - y2);
    const float ex = first ? x1 : x2;
    const float ey = first ? y1 : y2;
    const float d = std::sqrt((x - ex) * (x - ex) + (y - ey) * (y - ey));
    const float coverage = Clamp01(width - d);
    if (coverage != 0.0f)
        __BlendPixel(opacity, image, source, r, g, b, static_cast<int>(x), static_cast<int>(y),
                     coverage * opacity);
    return false;
}

void StoreDepth(int depthIndex, float leaveDepth) {
    if (ZBuff != nullptr) ZBuff[depthIndex] = leaveDepth;
}

}  // namespace

void __AALinePixel(float opacity, unsigned char* image, unsigned char* source, float,
                   float leaveDepth, int depthIndex, float r, float g, float b, float la,
                   float lb, float lc, float abLength, float x, float y, float width, __Point*) {
    LineCoverage(opacity, image, source, r, g, b, la, lb, lc, abLength, x, y, width);
    StoreDepth(depthIndex, leaveDepth);
}

void __AAEdgePixel(float opacity, unsigned char* image, unsigned char* source, float depth,
                   float leaveDepth, int depthIndex, float r, float g, float b, float la, float lb,
                   float lc, float ab2, float abLength, float x, float y, float width, float x1,
                   float y1, float x2, float y2, __Point* normal) {
    // A segment shorter than about a tenth of a pixel draws nothing.
    if (std::fabs(ab2) > 0.01f &&
        SegmentCap(opacity, image, source, r, g, b, la, lb, lc, ab2, x, y, width, x1, y1, x2, y2)) {
        __AALinePixel(opacity, image, source, depth, leaveDepth, depthIndex, r, g, b, la, lb, lc,
                      abLength, x, y, width, normal);
        return;
    }
    StoreDepth(depthIndex, leaveDepth);
}

void __AAEdgePixelNoDepth(float opacity, unsigned char* image, unsigned char* source, float r,
                          float g, float b, float la, float lb, float lc, float ab2,
                          float abLength, float x, float y, float width, float x1, float y1,
                          float x2, float y2, __Point*) {
    if (std::fabs(ab2) > 0.01f &&
        SegmentCap(opacity, image, source, r, g, b, la, lb, lc, ab2, x, y, width, x1, y1, x2, y2))
        LineCoverage(opacity, image, source, r, g, b, la, lb, lc, abLength, x, y, width);
}

void __BlendPixel(float, unsigned char* image, unsigned char*, float r, float g, float b, int x,
                  int y, float coverage) {
    if (x < 0 || x >= Zwidth || y < 0 || y >= Zheight) return;
    if (!(coverage > 0.0f)) return;
    coverage = std::min(coverage, 1.0f);
    const ptrdiff_t first = static_cast<ptrdiff_t>(y) * __RowBytes + 4 * static_cast<ptrdiff_t>(x);
    if (_Deep != 0)
        BlendInto(reinterpret_cast<uint16_t*>(image) + first, r, g, b, coverage);
    else
        BlendInto(image + first, r, g, b, coverage);
}

namespace {

// A vertex's row: its y truncated toward zero, kept as a float so that a
// vertex beyond the range of an int still compares by its own row.
float RowOf(const __Point3ds& v) { return std::trunc(v.y); }

// x of the edge at scanline y; an edge lower than one row gives its larger x.
float EdgeX(const __Point3ds& s, const __Point3ds& e, float y) {
    if (std::fabs(e.y - s.y) >= 1.0f) return (y - s.y) * (e.x - s.x) / (e.y - s.y) + s.x;
    return std::max(s.x, e.x);
}

bool RunsUpOver(const __Point3ds& s, const __Point3ds& e, float y) {
    return RowOf(s) <= y && y <= RowOf(e);
}

bool RunsDownOver(const __Point3ds& s, const __Point3ds& e, float y) {
    return RowOf(e) <= y && y < RowOf(s);
}

}  // namespace

float __EdgeAtScanline(int n, int first, const __Point3ds* vertices, const EdgeEntry* table,
                       float y, float* a, float* b, float* c, float* ab2, float* abLength,
                       float* x1, float* y1, float* x2, float* y2, float* run) {
    int i = first;
    while (i < n - 1) {
        const __Point3ds& s = vertices[table[i].start];
        const __Point3ds& e = vertices[table[i].end];
        if (RunsUpOver(s, e, y) || RunsDownOver(s, e, y)) break;
        ++i;
    }
    if (i >= n - 1) i = n - 1;
    const __Point3ds& s = vertices[table[i].start];
    const __Point3ds& e = vertices[table[i].end];
    *x1 = s.x;
    *y1 = s.y;
    *x2 = e.x;
    *y2 = e.y;
    const float x = EdgeX(s, e, y);
    __LineCoefs(s.x, s.y, e.x, e.y, a, b, c);
    *ab2 = *a * *a + *b * *b;
    *abLength = std::sqrt(*ab2);

    // The run: how far the edge moves in x over one row towards its far end.
    const __Point3ds& high = e.y > s.y ? e : s;
    const __Point3ds& low = e.y > s.y ? s : e;
    const float next = low.x > high.x ? y - 1.0f : y + 1.0f;
    int j = first;
    while (j < n - 1 && !RunsUpOver(vertices[table[j].start], vertices[table[j].end], next)) ++j;
    if (j >= n - 1) j = n - 1;
    const float r = std::fabs(EdgeX(vertices[table[j].start], vertices[table[j].end], next) - x);
    *run = r < 3.0f ? 3.0f : r;
    return x;
}

bool __ZTestPlane(unsigned char, float x, float y, float d, float b, float a, float c,
                  const __Point3ds* fallback, float* depth, int cx, int cy, int* index,
                  float* oldDepth) {
    // An edge-on plane gives no usable depth: the vertex's stands in.
    const auto planeDepth = [&] {
        return std::fabs(c) < 0.01f ? fallback->z : -(b * y + a * x + d) / c;
    };
    if (ZBuff == nullptr) {
        *depth = planeDepth();
        return true;
    }
    const int ix = static_cast<int>(x + static_cast<float>(cx));
    const int iy = static_cast<int>(y + static_cast<float>(cy));
    if (ix < 0 || iy < 0 || ix >= Zwidth || iy >= Zheight) return false;
    const float z = planeDepth();
    *depth = z;
    *index = ix + iy * Zwidth;
    if (!(z > ZBuff[*index])) return false;
    *oldDepth = ZBuff[*index];
    ZBuff[*index] = z;
    return true;
}

float __Det3(const float* m) {
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]);
}

namespace {

// Barycentric weights of (x, y) against the triangle T (x0, x1, x2, y0, y1,
// y2): negatives become 0, and they are scaled to sum 1 when that is possible.
// Weight i is __Det3 of the rows (xp, xq, x), (yp, yq, y), (1, 1, 1) over
// area, for the vertices p, q after i; its products by 1 are left out, as
// they are exact.
inline void Weights(const float* T, float area, float x, float y, float* w,
                    bool normaliseWhenPositive) {
    const float x0 = T[0], x1 = T[1], x2 = T[2];
    const float y0 = T[3], y1 = T[4], y2 = T[5];
    float w0 = (x1 * (y2 - y) - x2 * (y1 - y) + x * (y1 - y2)) / area;
    float w1 = (x2 * (y0 - y) - x0 * (y2 - y) + x * (y2 - y0)) / area;
    float w2 = (x0 * (y1 - y) - x1 * (y0 - y) + x * (y0 - y1)) / area;
    if (w0 < 0.0f) w0 = 0.0f;
    if (w1 < 0.0f) w1 = 0.0f;
    if (w2 < 0.0f) w2 = 0.0f;
    const float sum = w0 + w1 + w2;
    if (normaliseWhenPositive ? sum > 0.0f : sum != 0.0f) {
        w0 /= sum;
        w1 /= sum;
        w2 /= sum;
    }
    w[0] = w0;
    w[1] = w1;
    w[2] = w2;
}

void TexCoords(const __Point3ds* vertices, const float* w, float x, float y, float z,
               const float* P, float areaP, unsigned char textures, float* u, float* v, float cx,
               float cy) {
    if (textures == 0) return;
    float weights[3] = {w[0], w[1], w[2]};
    if (_Persp_Val != 0.0f) {
        float qx, qy;
        __ProjectPersp(x - cx, y - cy, z, &qx, &qy);
        Weights(P, areaP, qx, qy, weights, false);
    }
    *u = weights[0] * vertices[0].u + weights[1] * vertices[1].u + weights[2] * vertices[2].u;
    *v = weights[0] * vertices[0].v + weights[1] * vertices[1].v + weights[2] * vertices[2].v;
}

}  // namespace

void UnitVertexNormals(const __Point3ds* vertices, float N[3][3]) {
    for (int i = 0; i < 3; ++i) {
        const __Point3ds& p = vertices[i];
        N[i][0] = p.nx;
        N[i][1] = p.ny;
        N[i][2] = p.nz;
        const float length = std::sqrt(p.nx * p.nx + p.ny * p.ny + p.nz * p.nz);
        if (length > 0.0f)
            for (int k = 0; k < 3; ++k) N[i][k] /= length;
    }
}

void __InterpNormalPersp(__Point* normal, const __Point3ds* vertices, float x, float y, float z,
                         const float* S, float areaS, const float* P, float areaP,
                         unsigned char textures, float* u, float* v, const float* M, float cx,
                         float cy) {
    float N[3][3];
    UnitVertexNormals(vertices, N);
    InterpUnitNormal(normal, N, vertices, x, y, z, S, areaS, P, areaP, textures, u, v, M, cx, cy);
}

void InterpUnitNormal(__Point* normal, const float N[3][3], const __Point3ds* vertices, float x,
                      float y, float z, const float* S, float areaS, const float* P, float areaP,
                      unsigned char textures, float* u, float* v, const float* M, float cx,
                      float cy) {
    float w[3];
    Weights(S, areaS, x, y, w, true);
    float R[3];
    if (_Quality != 0 && _UsePhong2 != 0) {
        for (int k = 0; k < 3; ++k)
            R[k] = w[0] * w[0] * N[0][k] + w[1] * w[1] * N[1][k] + w[2] * w[2] * N[2][k] +
                   w[0] * w[1] * M[k] + 2.0f * w[1] * w[2] * M[3 + k] + w[2] * w[0] * M[6 + k];
    } else {
        for (int k = 0; k < 3; ++k) R[k] = w[0] * N[0][k] + w[1] * N[1][k] + w[2] * N[2][k];
    }
    normal->x = R[0];
    normal->y = R[1];
    normal->z = R[2];
    TexCoords(vertices, w, x, y, z, P, areaP, textures, u, v, cx, cy);
}

void __InterpTexCoords(__Point*, const __Point3ds* vertices, float x, float y, float z,
                       const float* S, float areaS, const float* P, float areaP,
                       unsigned char textures, float* u, float* v, const float*, float cx,
                       float cy) {
    if (textures == 0) return;
    float w[3];
    Weights(S, areaS, x, y, w, true);
    TexCoords(vertices, w, x, y, z, P, areaP, textures, u, v, cx, cy);
}

void __ProjectPersp(float x, float y, float z, float* px, float* py) {
    const float k = 1.0f - z / _Persp_Far;
    *px = x * k + _Persp_x;
    *py = y * k + _Persp_y;
}

namespace {

void Cross(float ux, float uy, float uz, float vx, float vy, float vz, float* nx, float* ny,
           float* nz) {
    *nx = uy * vz - uz * vy;
    *ny = uz * vx - ux * vz;
    *nz = ux * vy - uy * vx;
}

}  // namespace

void __FaceNormal(const __Triangle3ds* triangle, const __Point3ds* vertices, float* nx, float* ny,
                  float* nz) {
    const __Point3ds& pa = vertices[triangle->a];
    const __Point3ds& pb = vertices[triangle->b];
    const __Point3ds& pc = vertices[triangle->c];
    Cross(pc.x - pb.x, pc.y - pb.y, pc.z - pb.z, pa.x - pb.x, pa.y - pb.y, pa.z - pb.z, nx, ny, nz);
}

void __TriangleNormal(const __Point3ds* vertices, float* nx, float* ny, float* nz) {
    const __Point3ds& v0 = vertices[0];
    const __Point3ds& v1 = vertices[1];
    const __Point3ds& v2 = vertices[2];
    Cross(v0.x - v1.x, v0.y - v1.y, v0.z - v1.z, v2.x - v1.x, v2.y - v1.y, v2.z - v1.z, nx, ny, nz);
}

int __TopVertex(int n, const __Point3ds* vertices, const EdgeEntry* table, float* smallestY) {
    int top = 1;
    float largest = -1e11f;
    float smallest = 1e11f;
    for (int i = 0; i < n; ++i) {
        const float y = vertices[table[i].start].y;
        if (y >= largest) {
            largest = y;
            top = i;
        }
        if (y <= smallest) smallest = y;
    }
    *smallestY = smallest;
    return top;
}

void __RotateTriples(int n, int k, EdgeEntry* table) {
    if (k > 0 && k < n) std::rotate(table, table + k, table + n);
}

namespace {

constexpr double kHalfPi = 1.57079632679489661923;

// Direction angle from v to q in 0 < angle <= 2 pi, counted from +x towards +y.
float DirectionAngle(const __Point3ds& v, const __Point3ds& q) {
    const float dx = std::fabs(v.x - q.x);
    const float dy = std::fabs(v.y - q.y);
    const float h = std::sqrt(dx * dx + dy * dy);
    int quadrant;
    if (q.y > v.y)
        quadrant = q.x >= v.x ? 0 : 1;
    else
        quadrant = q.x < v.x ? 2 : 3;
    const float side = quadrant == 0 || quadrant == 2 ? dx : dy;
    const double angle =
        std::acos(static_cast<double>(side) / static_cast<double>(h)) + quadrant * kHalfPi;
    return static_cast<float>(angle);
}

}  // namespace

bool __FixOrientation(const EdgeEntry* table, __Point3ds* vertices) {
    const __Point3ds& top = vertices[table[0].start];
    __Point3ds& a = vertices[table[1].start];
    __Point3ds& b = vertices[table[1].end];
    const float delta = DirectionAngle(top, b) - DirectionAngle(top, a);
    if (std::fabs(delta) < 1e-5f) return false;
    if (delta < 0.0f || delta > 3.141592f) std::swap(a, b);
    return true;
}

void __LinePlaneIntersect(float px, float py, float pz, float nx, float ny, float nz, float* ox,
                          float* oy, float* oz, float nx2, float ny2, float nz2, float d) {
    const float s = nx2 + ny2 + nz2;
    if (std::fabs(ny) > std::fabs(nx)) {
        *oy = (py * (nx2 + nz2) - ny * (d + nx * px + nz * pz)) / s;
        *ox = nx * (*oy - py) / ny + px;
        *oz = nz * (*oy - py) / ny + pz;
    } else if (nx == 0.0f) {
        *oz = (pz * (nx2 + ny2) - nz * (d + nx * px + ny * py)) / s;
        *ox = nx * (*oz - pz) / nz + px;
        *oy = ny * (*oz - pz) / nz + py;
    } else {
        *ox = (px * (ny2 + nz2) - nx * (d + ny * py + nz * pz)) / s;
        *oy = ny * (*ox - px) / nx + py;
        *oz = nz * (*ox - px) / nx + pz;
    }
}

double __Distance3(float x1, float y1, float z1, float x2, float y2, float z2) {
    const float dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

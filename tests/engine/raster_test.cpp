#include <cmath>
#include <cstring>

#include "engine/raster.h"
#include "engine_state.h"

namespace {

// A 4 x 4 frame of either depth, the image helpers clipped to it.
class Frame : public EngineState {
protected:
    void SetUp() override {
        EngineState::SetUp();
        Zwidth = 4;
        Zheight = 4;
        __RowBytes = 16;
        __MaxChannel = 255;
    }
    void Use16Bit() {
        _Deep = 1;
        __MaxChannel = 32768;
    }
    unsigned char* Pixel(int x, int y) { return image8 + 16 * y + 4 * x; }
    uint16_t* Pixel16(int x, int y) { return image16 + 16 * y + 4 * x; }
    void Set(int x, int y, int r, int g, int b, int a) {
        unsigned char* p = Pixel(x, y);
        p[0] = static_cast<unsigned char>(r);
        p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(b);
        p[3] = static_cast<unsigned char>(a);
    }
    bool Is(int x, int y, int r, int g, int b, int a) {
        const unsigned char* p = Pixel(x, y);
        return p[0] == r && p[1] == g && p[2] == b && p[3] == a;
    }

    // Alpha left at pixel (px, py) of a clear image by the segment's coverage.
    int EdgeAlpha(float x1, float y1, float x2, float y2, float px, float py) {
        std::memset(image8, 0, sizeof image8);
        float a, b, c;
        __LineCoefs(x1, y1, x2, y2, &a, &b, &c);
        const float ab2 = a * a + b * b;
        __AAEdgePixel(1.0f, image8, nullptr, 0.0f, 0.0f, 0, 100.0f, 100.0f, 100.0f, a, b, c, ab2,
                      std::sqrt(ab2), px, py, 1.0f, x1, y1, x2, y2, nullptr);
        return Pixel(static_cast<int>(px), static_cast<int>(py))[3];
    }
    // The same for a vertical edge at column lineX whose inside is to its left.
    int VerticalEdgeAlpha(float lineX) { return EdgeAlpha(lineX, -10.0f, lineX, 10.0f, 2.0f, 1.0f); }

    unsigned char image8[64] = {};
    uint16_t image16[64] = {};
};

using Coverage = Frame;

TEST_F(Coverage, FilledModesCoverTheBandJustInsideOnly) {
    _DrawMode = 6;
    EXPECT_EQ(VerticalEdgeAlpha(2.0f), 255);  // on the line
    EXPECT_EQ(VerticalEdgeAlpha(2.4f), 255);  // 0.4 inside
    EXPECT_EQ(VerticalEdgeAlpha(2.6f), 0);    // 0.6 inside: the filler's span covers it
    EXPECT_EQ(VerticalEdgeAlpha(1.5f), 127);  // 0.5 outside
    _DrawMode = 3;
    EXPECT_EQ(VerticalEdgeAlpha(2.6f), 0);
}

TEST_F(Coverage, LineModesFadeWithDistanceOnBothSides) {
    _DrawMode = 1;
    EXPECT_EQ(VerticalEdgeAlpha(2.625f), 95);  // 0.625 inside gets 0.375
    EXPECT_EQ(VerticalEdgeAlpha(1.5f), 127);
    EXPECT_EQ(VerticalEdgeAlpha(2.0f), 255);
    _DrawMode = 2;
    EXPECT_EQ(VerticalEdgeAlpha(2.625f), 95);
}

TEST_F(Coverage, BeyondAnEndTheCapIsRound) {
    // The pixel is 0.375 beside the line but 0.625 from the end point (1.625, 2.5).
    EXPECT_EQ(EdgeAlpha(1.625f, -5.0f, 1.625f, 2.5f, 2.0f, 3.0f), 95);
    EXPECT_EQ(EdgeAlpha(1.625f, -5.0f, 1.625f, 3.5f, 2.0f, 3.0f), 159);
    // A horizontal segment ending 0.5 before the pixel.
    EXPECT_EQ(EdgeAlpha(-3.0f, 1.0f, 1.5f, 1.0f, 2.0f, 1.0f), 127);
}

TEST_F(Coverage, DepthLeftByTheEdgeBand) {
    float depths[16];
    for (float& d : depths) d = -5.0f;
    ZBuff = depths;
    float a, b, c;
    __LineCoefs(2.0f, -10.0f, 2.0f, 10.0f, &a, &b, &c);
    __AAEdgePixel(1.0f, image8, nullptr, 9.0f, 3.0f, 6, 50.0f, 50.0f, 50.0f, a, b, c, 400.0f, 20.0f,
                  2.0f, 1.0f, 1.0f, 2.0f, -10.0f, 2.0f, 10.0f, nullptr);
    EXPECT_TRUE(depths[6] == 3.0f && Pixel(2, 1)[3] == 255);

    // A segment shorter than a tenth of a pixel draws nothing and still stores.
    __LineCoefs(2.0f, 2.0f, 2.05f, 2.05f, &a, &b, &c);
    __AAEdgePixel(1.0f, image8, nullptr, 9.0f, 4.0f, 10, 50.0f, 50.0f, 50.0f, a, b, c,
                  a * a + b * b, std::sqrt(a * a + b * b), 2.0f, 2.0f, 1.0f, 2.0f, 2.0f, 2.05f,
                  2.05f, nullptr);
    EXPECT_TRUE(depths[10] == 4.0f && Pixel(2, 2)[3] == 0);

    // The store-less form plots the same coverage and leaves every entry.
    __LineCoefs(1.0f, -10.0f, 1.0f, 10.0f, &a, &b, &c);
    __AAEdgePixelNoDepth(1.0f, image8, nullptr, 50.0f, 50.0f, 50.0f, a, b, c, 400.0f, 20.0f, 1.0f,
                         3.0f, 1.0f, 1.0f, -10.0f, 1.0f, 10.0f, nullptr);
    EXPECT_EQ(Pixel(1, 3)[3], 255);
    for (int i = 0; i < 16; ++i) {
        if (i != 6 && i != 10) {
            EXPECT_EQ(depths[i], -5.0f) << i;
        }
    }
}

using Blend = Frame;

TEST_F(Blend, PixelsOutsideTheFrameAreLeft) {
    std::memset(image8, 7, sizeof image8);
    unsigned char before[64];
    std::memcpy(before, image8, sizeof before);
    const int outside[4][2] = {{4, 0}, {0, -1}, {-1, 2}, {1, 4}};
    for (const auto& xy : outside) __BlendPixel(1.0f, image8, nullptr, 9, 9, 9, xy[0], xy[1], 1.0f);
    EXPECT_EQ(std::memcmp(before, image8, sizeof before), 0);
}

TEST_F(Blend, FullCoverageStoresTheClampedColour) {
    Set(1, 2, 10, 10, 10, 10);
    __BlendPixel(1.0f, image8, nullptr, -3.0f, 300.0f, 127.9f, 1, 2, 1.0f);
    EXPECT_TRUE(Is(1, 2, 0, 255, 127, 255));
}

TEST_F(Blend, PartialCoverageOverEmptyAndOpaquePixels) {
    __BlendPixel(1.0f, image8, nullptr, 20.0f, 30.0f, 40.0f, 0, 0, 0.5f);
    EXPECT_TRUE(Is(0, 0, 20, 30, 40, 127));

    Set(3, 3, 100, 50, 0, 255);
    __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 3, 3, 0.5f);
    EXPECT_TRUE(Is(3, 3, 150, 100, 10, 255));

    // Alpha only grows.
    Set(2, 0, 100, 100, 100, 100);
    __BlendPixel(1.0f, image8, nullptr, 0.0f, 0.0f, 0.0f, 2, 0, 0.5f);
    EXPECT_TRUE(Is(2, 0, 50, 50, 50, 127));
    Set(2, 1, 100, 100, 100, 200);
    __BlendPixel(1.0f, image8, nullptr, 0.0f, 400.0f, 0.0f, 2, 1, 0.5f);
    EXPECT_TRUE(Is(2, 1, 50, 250, 50, 200));
}

TEST_F(Blend, NoCoverageDrawsNothingAndTooMuchCountsAsFull) {
    Set(1, 1, 100, 50, 0, 255);
    __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 1, 1, 0.0f);
    __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 1, 1, -0.5f);
    EXPECT_TRUE(Is(1, 1, 100, 50, 0, 255));
    __BlendPixel(1.0f, image8, nullptr, 200.0f, 150.0f, 20.0f, 1, 1, 2.0f);
    EXPECT_TRUE(Is(1, 1, 200, 150, 20, 255));
}

TEST_F(Blend, SixteenBitChannels) {
    Use16Bit();
    __BlendPixel(1.0f, reinterpret_cast<unsigned char*>(image16), nullptr, 1000.0f, 40000.0f,
                 -1.0f, 1, 2, 0.5f);
    const uint16_t* p = Pixel16(1, 2);
    EXPECT_TRUE(p[0] == 1000 && p[1] == 32768 && p[2] == 0 && p[3] == 16384);

    uint16_t* q = Pixel16(3, 0);
    q[0] = 30000;
    q[3] = 32768;
    __BlendPixel(1.0f, reinterpret_cast<unsigned char*>(image16), nullptr, 10000.0f, 0.0f, 0.0f, 3,
                 0, 0.25f);
    EXPECT_TRUE(q[0] == 25000 && q[3] == 32768);
    __BlendPixel(1.0f, reinterpret_cast<unsigned char*>(image16), nullptr, 5.0f, 6.0f, 7.0f, 0, 3,
                 1.0f);
    const uint16_t* r = Pixel16(0, 3);
    EXPECT_TRUE(r[0] == 5 && r[1] == 6 && r[2] == 7 && r[3] == 32768);
    int touched = 0;
    for (uint16_t v : image16) touched += v != 0;
    EXPECT_EQ(touched, 3 + 2 + 4);
}

class DepthTest : public EngineState {
protected:
    void SetUp() override {
        EngineState::SetUp();
        std::memset(depths, 0xFE, sizeof depths);
        ZBuff = depths;
        Zwidth = 4;
        Zheight = 3;
        vertex.z = 7.0f;
    }
    // Plane -X - 2Y + Z - 3 = 0: depth x + 2y + 3; the frame is offset by (1, 1).
    bool Test(float x, float y, float c = -1.0f) {
        return __ZTestPlane(0, x, y, 3.0f, 2.0f, 1.0f, c, &vertex, &depth, 1, 1, &index, &old);
    }
    float depths[12];
    __Point3ds vertex{};
    float depth = 0.0f, old = 0.0f;
    int index = -1;
};

TEST_F(DepthTest, NearerPixelReplacesTheEntryAndEqualDepthLoses) {
    const float empty = depths[0];
    EXPECT_FLOAT_EQ(empty, -1.6947395e38f);
    ASSERT_TRUE(Test(1.0f, 0.0f));
    EXPECT_TRUE(depth == 4.0f && index == 6 && old == empty && depths[6] == 4.0f);

    old = 99.0f;
    EXPECT_FALSE(Test(1.0f, 0.0f));
    EXPECT_TRUE(depth == 4.0f && index == 6 && old == 99.0f && depths[6] == 4.0f);
    depths[6] = 4.5f;
    EXPECT_FALSE(Test(1.0f, 0.0f));
    EXPECT_EQ(depths[6], 4.5f);
}

TEST_F(DepthTest, EdgeOnPlaneUsesTheVertexDepth) {
    ASSERT_TRUE(Test(0.0f, 1.0f, 0.005f));
    EXPECT_TRUE(depth == 7.0f && depths[9] == 7.0f);
    ASSERT_TRUE(Test(2.0f, 0.0f, -0.01f));  // 0.01 is a plane still
    EXPECT_EQ(depth, -(0.0f + 2.0f + 3.0f) / -0.01f);
}

TEST_F(DepthTest, CellsOutsideTheBufferAreHidden) {
    index = -1;
    depth = -2.0f;
    EXPECT_FALSE(Test(3.0f, 0.0f));    // column 4
    EXPECT_TRUE(Test(0.0f, 1.5f));     // row 2.5 is row 2: inside
    EXPECT_EQ(index, 9);
    index = -1;
    EXPECT_FALSE(Test(-2.5f, 0.0f));   // column -1.5 truncates to -1
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(Test(-1.5f, 0.0f));    // column -0.5 truncates to 0
    EXPECT_EQ(index, 4);

    ZBuff = nullptr;
    EXPECT_TRUE(Test(50.0f, 50.0f));
    EXPECT_EQ(depth, 153.0f);
}

__Point3ds At(float x, float y) {
    __Point3ds p{};
    p.x = x;
    p.y = y;
    return p;
}

TEST(EdgeTable, TopVertexTakesTheLaterOfEqualStarts) {
    const __Point3ds v[3] = {At(0, 1), At(4, 5), At(2, 5)};
    const EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
    float smallest = 0.0f;
    EXPECT_EQ(__TopVertex(3, v, t, &smallest), 2);
    EXPECT_EQ(smallest, 1.0f);
    EXPECT_EQ(__TopVertex(0, v, t, &smallest), 1);
    EXPECT_EQ(smallest, 1e11f);
}

struct Crossing {
    float x, a, b, c, ab2, length, x1, y1, x2, y2, run;
};

Crossing CrossAt(int n, int first, const __Point3ds* v, const EdgeEntry* t, float y) {
    Crossing k{};
    k.x = __EdgeAtScanline(n, first, v, t, y, &k.a, &k.b, &k.c, &k.ab2, &k.length, &k.x1, &k.y1,
                           &k.x2, &k.y2, &k.run);
    return k;
}

TEST(EdgeTable, ScanlineFindsTheFirstCrossingEdge) {
    // Left edge 2 -> 0 runs down, right edge 0 -> 1 up, 1 -> 2 is the top.
    const __Point3ds v[3] = {At(0, 0), At(40, 10), At(0, 10)};
    const EdgeEntry t[3] = {{2, 0, 0}, {0, 1, 0}, {1, 2, 0}};
    Crossing k = CrossAt(3, 1, v, t, 5.0f);
    EXPECT_EQ(k.x, 20.0f);
    EXPECT_TRUE(k.a == 10.0f && k.b == -40.0f && k.c == 0.0f && k.ab2 == 1700.0f);
    EXPECT_EQ(k.length, std::sqrt(1700.0f));
    EXPECT_TRUE(k.x1 == 0.0f && k.y1 == 0.0f && k.x2 == 40.0f && k.y2 == 10.0f);
    EXPECT_EQ(k.run, 4.0f);  // one row further up the edge moves 4 pixels

    // A downward edge does not take the row of its start; the next edge does.
    k = CrossAt(3, 0, v, t, 9.0f);
    EXPECT_TRUE(k.x == 0.0f && k.y1 == 10.0f && k.y2 == 0.0f);
    k = CrossAt(3, 0, v, t, 10.0f);
    EXPECT_TRUE(k.x == 40.0f && k.x1 == 0.0f && k.x2 == 40.0f);
    // The run is taken on the first upward edge: here the right one, 20 pixels away.
    EXPECT_EQ(CrossAt(3, 0, v, t, 4.0f).run, 20.0f);
    // A steep edge still reports a run of at least 3.
    const __Point3ds steep[2] = {At(0, 0), At(1, 10)};
    const EdgeEntry s[1] = {{0, 1, 0}};
    EXPECT_EQ(CrossAt(1, 0, steep, s, 5.0f).run, 3.0f);
}

TEST(EdgeTable, ScanlineRowsTruncateTowardZeroAndTheLastEntryIsTheFallback) {
    // Edges running up: (0, -0.5) -> (10, 9.5), then (10, 4.7) -> (30, 9).
    const __Point3ds v[4] = {At(0, -0.5f), At(10, 9.5f), At(10, 4.7f), At(30, 9)};
    const EdgeEntry t[2] = {{0, 1, 0}, {2, 3, 0}};
    // Row -0.5 counts as row 0, so scanline -0.2 is below the first edge.
    Crossing k = CrossAt(2, 0, v, t, -0.2f);
    EXPECT_EQ(k.x1, 10.0f);
    // Row 4.7 counts as row 4: scanline 4.2 already meets the second edge.
    k = CrossAt(2, 1, v, t, 4.2f);
    EXPECT_EQ(k.x, (4.2f - 4.7f) * 20.0f / (9.0f - 4.7f) + 10.0f);
    // Nothing crosses scanline 50; the last entry is used as it is.
    k = CrossAt(2, 0, v, t, 50.0f);
    EXPECT_TRUE(k.x1 == 10.0f && k.y2 == 9.0f);

    // An edge lower than one row gives its larger x.
    const __Point3ds flat[2] = {At(2, 3.2f), At(7, 3.5f)};
    const EdgeEntry f[1] = {{0, 1, 0}};
    EXPECT_EQ(CrossAt(1, 0, flat, f, 3.0f).x, 7.0f);
}

TEST(EdgeTable, ScanlineRowsOfFarVerticesAreTheirOwn) {
    // An upward edge ending beyond the range of an int still holds scanline 5.
    const __Point3ds v[3] = {At(0, 0), At(4294967296.0f, 4294967296.0f), At(-7, 9)};
    const EdgeEntry t[2] = {{0, 1, 0}, {1, 2, 0}};
    const Crossing k = CrossAt(2, 0, v, t, 5.0f);
    EXPECT_TRUE(k.x == 5.0f && k.x1 == 0.0f && k.y2 == 4294967296.0f);
}

// Edge (40, 0) -> (0, 10) runs up towards smaller x: the run is measured a row down.
TEST(EdgeTable, ScanlineRunLooksTowardsTheLowerEnd) {
    const __Point3ds v[3] = {At(40, 0), At(0, 10), At(40, 10)};
    const EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
    const Crossing k = CrossAt(3, 0, v, t, 5.0f);
    EXPECT_TRUE(k.x == 20.0f && k.run == 4.0f);
}

// Sets a triangle up as the fillers do: top vertex first, then the winding.
bool Orient(__Point3ds* v, EdgeEntry* t) {
    float smallest;
    __RotateTriples(3, __TopVertex(3, v, t, &smallest), t);
    return __FixOrientation(t, v);
}

TEST(EdgeTable, OrientationPutsTheInsideOnTheNegativeSide) {
    const float shapes[][6] = {{0, 0, 10, 0, 3, 8},   {0, 0, 3, 8, 10, 0},  {5, 9, 0, 0, 10, 1},
                               {5, 9, 10, 1, 0, 0},   {0, 5, 6, 5, 2, -4},  {6, 5, 0, 5, 2, -4},
                               {0, 0, -3, 7, 4, 7},   {0, 0, 4, 7, -3, 7}};
    for (const auto& s : shapes) {
        __Point3ds v[3] = {At(s[0], s[1]), At(s[2], s[3]), At(s[4], s[5])};
        EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
        ASSERT_TRUE(Orient(v, t)) << s[0] << "," << s[1];
        EXPECT_TRUE(v[t[0].start].y >= v[t[1].start].y && v[t[0].start].y >= v[t[2].start].y);
        const float cx = (s[0] + s[2] + s[4]) / 3.0f, cy = (s[1] + s[3] + s[5]) / 3.0f;
        for (const EdgeEntry& e : t) {
            float a, b, c;
            __LineCoefs(v[e.start].x, v[e.start].y, v[e.end].x, v[e.end].y, &a, &b, &c);
            EXPECT_LT(a * cx + b * cy + c, 0.0f) << s[0] << "," << s[1] << " " << s[2] << ","
                                                 << s[3] << " " << s[4] << "," << s[5];
        }
    }
}

TEST(EdgeTable, CollinearTriangleIsRefused) {
    __Point3ds v[3] = {At(0, 0), At(1, 1), At(3, 3)};
    EdgeEntry t[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
    EXPECT_FALSE(Orient(v, t));
    __Point3ds w[3] = {At(0, 2), At(5, 2), At(9, 2)};
    EdgeEntry u[3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};
    EXPECT_FALSE(Orient(w, u));
}

// Triangle (0, 0), (10, 0), (0, 10) with a different normal and texture
// coordinates at each corner.
class Interpolation : public EngineState {
protected:
    void SetUp() override {
        EngineState::SetUp();
        const float normals[3][3] = {{0, 0, 2}, {3, 0, 0}, {0, 1, 0}};
        const float uv[3][2] = {{0, 0}, {1, 0}, {0, 1}};
        for (int i = 0; i < 3; ++i) {
            v[i] = At(S[i], S[3 + i]);
            v[i].nx = normals[i][0];
            v[i].ny = normals[i][1];
            v[i].nz = normals[i][2];
            v[i].u = uv[i][0];
            v[i].v = uv[i][1];
        }
        const float rows[9] = {S[0], S[1], S[2], S[3], S[4], S[5], 1, 1, 1};
        area = __Det3(rows);
    }
    __Point NormalAt(float x, float y) {
        __Point n{-1, -1, -1};
        __InterpNormalPersp(&n, v, x, y, 0.0f, S, area, S, area, 0, &u, &w, M, 0.0f, 0.0f);
        return n;
    }
    static bool Near(const __Point& n, float x, float y, float z) {
        return std::fabs(n.x - x) < 1e-6f && std::fabs(n.y - y) < 1e-6f && std::fabs(n.z - z) < 1e-6f;
    }
    const float S[6] = {0, 10, 0, 0, 0, 10};
    // Mid-edge normals of the edges 0-1, 1-2 and 2-0.
    const float M[9] = {0, 1, 0, 0, 0, 1, 1, 0, 0};
    __Point3ds v[3];
    float area = 0.0f, u = -7.0f, w = -7.0f;
};

TEST_F(Interpolation, LinearBlendOfUnitVertexNormals) {
    EXPECT_EQ(area, 100.0f);
    EXPECT_TRUE(Near(NormalAt(5, 0), 0.5f, 0, 0.5f));
    EXPECT_TRUE(Near(NormalAt(0, 0), 0, 0, 1));
    // Outside the triangle: negative weights drop out and the rest sum to 1.
    EXPECT_TRUE(Near(NormalAt(-5, 0), 0, 0, 1));
    _UsePhong2 = 1;
    _Quality = 0;
    EXPECT_TRUE(Near(NormalAt(5, 0), 0.5f, 0, 0.5f));
    _UsePhong2 = 0;
    _Quality = 1;
    EXPECT_TRUE(Near(NormalAt(5, 5), 0.5f, 0.5f, 0));
}

TEST_F(Interpolation, MidEdgeNormalsWithDoubleWeightOnTheSecondEdge) {
    _UsePhong2 = 1;
    EXPECT_TRUE(Near(NormalAt(5, 0), 0.25f, 0.25f, 0.25f));
    EXPECT_TRUE(Near(NormalAt(5, 5), 0.25f, 0.25f, 0.5f));
    EXPECT_TRUE(Near(NormalAt(0, 5), 0.25f, 0.25f, 0.25f));
}

TEST_F(Interpolation, TextureCoordinatesOnlyWhenAsked) {
    __Point n{};
    __InterpNormalPersp(&n, v, 5, 5, 0, S, area, S, area, 0, &u, &w, M, 0, 0);
    EXPECT_TRUE(u == -7.0f && w == -7.0f);
    __InterpNormalPersp(&n, v, 5, 5, 0, S, area, S, area, 1, &u, &w, M, 0, 0);
    EXPECT_TRUE(u == 0.5f && w == 0.5f);
}

TEST_F(Interpolation, PerspectiveTexCoordsFollowTheUnwarpedSurface) {
    _Persp_Val = 1.0f;
    _Persp_Far = 1000.0f;
    // Pixel (15, 10) is (5, 0) from the centre; at depth 500 it un-projects to (2.5, 0).
    __Point n{-1, -1, -1};
    __InterpTexCoords(&n, v, 15, 10, 500, S, area, S, area, 1, &u, &w, M, 10, 10);
    EXPECT_TRUE(u == 0.25f && w == 0.0f);
    EXPECT_TRUE(n.x == -1 && n.y == -1 && n.z == -1);
    _Persp_Val = 0.0f;
    __InterpTexCoords(&n, v, 5, 0, 500, S, area, S, area, 1, &u, &w, M, 10, 10);
    EXPECT_TRUE(u == 0.5f && w == 0.0f);
}

// The result must lie on the plane n.X + d = 0 and on the line P + t n.
void ExpectFoot(float px, float py, float pz, float nx, float ny, float nz, float d, float ex,
                float ey, float ez) {
    float ox, oy, oz;
    __LinePlaneIntersect(px, py, pz, nx, ny, nz, &ox, &oy, &oz, nx * nx, ny * ny, nz * nz, d);
    EXPECT_NEAR(ox, ex, 1e-5f);
    EXPECT_NEAR(oy, ey, 1e-5f);
    EXPECT_NEAR(oz, ez, 1e-5f);
}

TEST(Geometry, LinePlaneIntersectionInEachBranch) {
    const double t = (4.0 - 3.5) / 5.25;  // along (1, 2, 0.5) from (1, 1, 1) to n.X = 4
    ExpectFoot(1, 1, 1, 1, 2, 0.5f, -4, 1 + t, 1 + 2 * t, 1 + 0.5 * t);
    ExpectFoot(1, 1, 1, 0, 0, 2, -6, 1, 1, 3);
    ExpectFoot(0, 0, 0, 2, 1, 1, -6, 2, 1, 1);
    ExpectFoot(3, 5, 7, -2, 0, 0, 4, 2, 5, 7);
}

}  // namespace

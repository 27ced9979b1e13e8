// Interpolated normals and texture coordinates, with and without perspective.
#include <cmath>

#include "engine/geometry.h"
#include "engine/interpolate.h"
#include "engine_state.h"

namespace {

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

}  // namespace

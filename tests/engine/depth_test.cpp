// The plane depth test against the depth buffer.
#include <cstring>

#include "engine/depth.h"
#include "engine_state.h"

namespace {

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
  EXPECT_FALSE(Test(3.0f, 0.0f));  // column 4
  EXPECT_TRUE(Test(0.0f, 1.5f));   // row 2.5 is row 2: inside
  EXPECT_EQ(index, 9);
  index = -1;
  EXPECT_FALSE(Test(-2.5f, 0.0f));  // column -1.5 truncates to -1
  EXPECT_EQ(index, -1);
  EXPECT_TRUE(Test(-1.5f, 0.0f));  // column -0.5 truncates to 0
  EXPECT_EQ(index, 4);

  ZBuff = nullptr;
  EXPECT_TRUE(Test(50.0f, 50.0f));
  EXPECT_EQ(depth, 153.0f);
}

}  // namespace

// The foot of a line on a plane.
#include "engine/geometry.h"
#include "engine_state.h"

namespace {

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

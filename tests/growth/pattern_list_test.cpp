#include "growth/pattern_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <vector>

#include "page_probe.h"

namespace {

struct Mesh {
  int point_count = -1, triangle_count = -1;
  __Point3ds* points = nullptr;
  __Triangle3ds* triangles = nullptr;
  ~Mesh() {
    if (points != nullptr) VirtualFree(points, 0, MEM_RELEASE);
    if (triangles != nullptr) VirtualFree(triangles, 0, MEM_RELEASE);
  }
  explicit Mesh(QFTrList& list) { Build(list); }
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;
  void Build(QFTrList& list) {
    BuildMeshArrays(list, &point_count, &triangle_count, &points, &triangles);
  }
};

// Appends count triangles, corner i of triangle k at x = 10 k + i, and sets
// TriangleCount to counted.
QFTrList& Filled(QFTrList& list, int count, int counted) {
  for (int k = 0; k < count; ++k) {
    auto* t = new PatternTriangle{};
    for (int i = 0; i < 3; ++i) t->corners[i] = {10.0f * k + i, 1, 2, 0.5f, 0, 1, 1};
    list.Append(t);
  }
  TriangleCount = counted;
  return list;
}

TEST(MeshAssembly, EmptyListGivesAbsentArrays) {
  QFTrList list;
  Mesh mesh(Filled(list, 0, 0));
  EXPECT_TRUE(mesh.point_count == 0 && mesh.triangle_count == 0);
  EXPECT_TRUE(mesh.points == nullptr && mesh.triangles == nullptr);
  EXPECT_TRUE(list.first == nullptr && list.last == nullptr);
}

TEST(MeshAssembly, TrianglesInAppendOrderWithFixedTextureCorners) {
  QFTrList list;
  Mesh mesh(Filled(list, 3, 3));
  ASSERT_TRUE(mesh.point_count == 9 && mesh.triangle_count == 3);
  const float u[3] = {0.5f, 0.01f, 0.98f}, v[3] = {0.98f, 0.01f, 0.01f};
  for (int k = 0; k < 3; ++k) {
    const __Triangle3ds& t = mesh.triangles[k];
    EXPECT_TRUE(t.a == 3 * k && t.b == 3 * k + 1 && t.c == 3 * k + 2 && t.material == 0);
    for (int i = 0; i < 3; ++i) {
      const __Point3ds& p = mesh.points[3 * k + i];
      EXPECT_EQ(p.x, 10.0f * k + i);
      EXPECT_TRUE(p.nx == 0.5f && p.nz == 1 && p.hasNormal == 1 && p.hasTexture == 1);
      EXPECT_TRUE(p.u == u[i] && p.v == v[i]);
    }
  }
  list.Clear();      // nothing left to free: the sanitizer build catches a double free
  mesh.Build(list);  // a consumed list leaves the outputs alone
  EXPECT_EQ(mesh.triangle_count, 3);
}

TEST(MeshAssembly, CountDisagreeingWithTheList) {
  QFTrList short_list, long_list;
  const Mesh short_mesh(Filled(short_list, 2, 4));
  EXPECT_TRUE(short_mesh.point_count == 12 && short_mesh.triangle_count == 2);
  const Mesh long_mesh(Filled(long_list, 4, 1));  // the uncopied rest is freed
  EXPECT_TRUE(long_mesh.point_count == 3 && long_mesh.triangle_count == 1);

  short_list.Append(new PatternTriangle{});  // a consumed list starts over
  EXPECT_EQ(short_list.first->next, short_list.last);
}

// Triangle k of a long list: corner i at x = k + i / 4, its normal x k.
PatternTriangle Numbered(int k) {
  PatternTriangle t{};
  for (int i = 0; i < 3; ++i) t.corners[i] = {k + 0.25f * i, 1, 2, static_cast<float>(k), 0, 1, 1};
  return t;
}

TEST(PatternStorage, RefusedBlockKeepsTheListAndAssemblyLeavesNothingHeld) {
  // Pages refused at every append: only one needing a new block, for the
  // triangle or for its node, fails; it throws and leaves the list and the
  // storage as they were, the triangle given to Append freed.
  const int pages_before = page_probe::Live();
  QFTrList list;
  EXPECT_EQ(PatternStorageBytes(), 64u << 10);  // a small list takes one small block
  int refused[2] = {0, 0};                      // at the triangle, at its node
  const int kCount = 300000;
  for (int k = 0; k < kCount; ++k) {
    const QFTrNode* last = list.last;
    const std::size_t held = PatternStorageBytes();
    page_probe::FailAt(k < 20000 ? page_probe::Taken() + 1 : 0);
    PatternTriangle* t = nullptr;
    try {
      t = new PatternTriangle(Numbered(k));
      list.Append(t);
    } catch (const std::bad_alloc&) {
      ++refused[t != nullptr];
      EXPECT_TRUE(list.last == last && last->next == nullptr && PatternStorageBytes() == held);
      page_probe::FailAt(0);
      list.Append(new PatternTriangle(Numbered(k)));
    }
  }
  page_probe::Reset();
  EXPECT_TRUE(refused[0] > 0 && refused[1] > 0);
  // Nothing stored beside the objects: past the objects themselves, less than
  // the last block of 2 MiB.
  EXPECT_LT(PatternStorageBytes(),
            kCount * (sizeof(PatternTriangle) + sizeof(QFTrNode)) + (std::size_t{2} << 20));

  TriangleCount = kCount;
  Mesh mesh(list);
  ASSERT_EQ(mesh.triangle_count, kCount);
  EXPECT_EQ(PatternStorageBytes(), 0u);
  EXPECT_EQ(page_probe::Live(), pages_before + 2);  // only the mesh arrays
  for (int k = 0; k < kCount; k += 997)
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(mesh.points[3 * k + i].x == k + 0.25f * i && mesh.points[3 * k + i].nx == k);
}

TEST(PatternStorage, BlockGoesBackWithItsLastObjectInAnyOrder) {
  // Triangles filling blocks of 64, 128 and 256 KiB and starting one of
  // 512 KiB; a block starts where the storage grows.
  const int pages_before = page_probe::Live();
  const std::size_t sizes[4] = {64 << 10, 128 << 10, 256 << 10, 512 << 10};
  std::vector<PatternTriangle*> made;
  std::vector<std::size_t> starts;
  while (starts.size() < 4) {
    const std::size_t held = PatternStorageBytes();
    made.push_back(new PatternTriangle(Numbered(static_cast<int>(made.size()))));
    if (PatternStorageBytes() != held) starts.push_back(made.size() - 1);
  }
  EXPECT_EQ(page_probe::Live(), pages_before + 4);
  // Destroyed in a scattered order, each exactly once: the storage holds just
  // the blocks that still have an object, and no object was overwritten.
  const std::size_t count = made.size();
  ASSERT_NE(count % 7919, 0u);
  int live[4] = {};
  for (std::size_t i = 0; i < count; ++i)
    ++live[std::upper_bound(starts.begin(), starts.end(), i) - starts.begin() - 1];
  for (std::size_t n = 0; n < count; ++n) {
    const std::size_t i = n * 7919 % count;
    EXPECT_EQ(made[i]->corners[0].nx, static_cast<float>(i));
    delete made[i];
    --live[std::upper_bound(starts.begin(), starts.end(), i) - starts.begin() - 1];
    std::size_t held = 0;
    for (int b = 0; b < 4; ++b) held += live[b] > 0 ? sizes[b] : 0;
    ASSERT_EQ(PatternStorageBytes(), held) << "after " << n + 1 << " destroyed";
  }
  EXPECT_EQ(page_probe::Live(), pages_before);
}

TEST(VertexTransforms, ScaleTranslateAndRotate) {
  auto vertex = [](uint8_t has_normal) {
    __Point3ds p{};
    p.x = 11, p.y = 6, p.z = 7, p.u = 0.25f, p.nx = 1, p.hasNormal = has_normal;
    return p;
  };
  __Point3ds s[1] = {vertex(1)};
  ScalePoints(2, 1, s);
  TranslatePoints(1, 2, 3, 1, s);
  EXPECT_TRUE(s[0].x == 23 && s[0].y == 14 && s[0].z == 17 && s[0].nx == 1 && s[0].u == 0.25f);

  const float quarter = 1.5707964f;
  __Point3ds z[2] = {vertex(1), vertex(0)}, y[2] = {vertex(1), vertex(0)},
             x[2] = {vertex(1), vertex(0)};
  RotatePointsZ(10, 6, quarter, 2, z);  // (11, 6) about (10, 6) -> (10, 7)
  RotatePointsY(10, 7, quarter, 2, y);  // (x, z) = (11, 7) about (10, 7) -> (10, 8)
  x[0].nx = 0, x[0].ny = 1;
  RotatePointsX(5, 7, quarter, 2, x);  // (y, z) = (6, 7) about (5, 7) -> (5, 8)
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(z[i].x, 10, 1e-5);
    EXPECT_NEAR(z[i].y, 7, 1e-5);
    EXPECT_NEAR(y[i].x, 10, 1e-5);
    EXPECT_NEAR(y[i].z, 8, 1e-5);
    EXPECT_NEAR(x[i].y, 5, 1e-5);
    EXPECT_NEAR(x[i].z, 8, 1e-5);
  }
  EXPECT_NEAR(z[0].ny, 1, 1e-6);
  EXPECT_NEAR(y[0].nz, 1, 1e-6);
  EXPECT_NEAR(x[0].nz, 1, 1e-6);
  EXPECT_TRUE(z[1].nx == 1 && y[1].nx == 1 && x[1].nx == 1);  // no normal: left alone
  EXPECT_TRUE(z[1].ny == 0 && y[1].nz == 0 && x[1].nz == 0);
}

}  // namespace

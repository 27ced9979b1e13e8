#include "effect/mask_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "effect/entry.h"
#include "fake_host.h"
#include "page_probe.h"

// The suite helpers live beside the entry-point handlers, which expect each
// program to name its shipped file; this program is no deliverable.
const char* const ShippedFileName = "qf_render_prep_tests";

namespace {

// The host of these tests starts with no page taken, and sees no misuse of
// the path suites by the end.
class PathHost : public FakeHost {
 public:
  PathHost() { page_probe::Reset(); }
  ~PathHost() { EXPECT_EQ(host_errors, 0); }
};

constexpr PF_PathID kPathId = 42;

PF_PathVertex Vertex(double x, double y, double in_x, double in_y, double out_x, double out_y) {
  return {x, y, in_x, in_y, out_x, out_y};
}

// Open: (0, 0) to (30, 0) to (30, 40), straight with tangents at thirds; the
// first in-tangent and the last out-tangent are loose ends.
std::vector<PF_PathVertex> OpenCorner() {
  return {Vertex(0, 0, -5, -5, 10, 0), Vertex(30, 0, 20, 0, 30, 40.0 / 3),
          Vertex(30, 40, 30, 80.0 / 3, 99, 99)};
}

// Closed: the same corner and back, sides 30, 40 and 50.
std::vector<PF_PathVertex> ClosedTriangle() {
  return {Vertex(0, 0, 10, 40.0 / 3, 10, 0), Vertex(30, 0, 20, 0, 30, 40.0 / 3),
          Vertex(30, 40, 30, 80.0 / 3, 20, 80.0 / 3)};
}

void ExpectShares(const CustomPath& path, std::vector<double> shares) {
  ASSERT_EQ(path.vertex_count, int32_t(shares.size()));
  for (size_t i = 0; i < shares.size(); ++i)
    EXPECT_NEAR(path.fractions[i], shares[i], 1e-12) << "segment " << i;
}

void ExpectRecord(const PathVertexRecord& r, const PF_PathVertex& v, bool swapped) {
  EXPECT_EQ(r.x, v.x);
  EXPECT_EQ(r.y, v.y);
  EXPECT_EQ(r.in_x, swapped ? v.tan_out_x : v.tan_in_x);
  EXPECT_EQ(r.in_y, swapped ? v.tan_out_y : v.tan_in_y);
  EXPECT_EQ(r.out_x, swapped ? v.tan_in_x : v.tan_out_x);
  EXPECT_EQ(r.out_y, swapped ? v.tan_in_y : v.tan_out_y);
}

// Growth direction of segment i halfway along it: the unit derivative turned a quarter.
void GrowthDirection(const CustomPath& path, int32_t i, double* nx, double* ny) {
  double X[4], Y[4], x, y, dx, dy;
  PathSegmentControls(SeedPathOf(path), i, X, Y);
  BezierPointTangentAtLength(0.5, X, Y, &x, &y, &dx, &dy);
  const double length = std::hypot(dx, dy);
  *nx = -dy / length;
  *ny = dx / length;
}

// ---- Reading paths ----

TEST(CustomPathRead, OpenPathSharesLengthBetweenItsSegmentsButTheClosingOne) {
  PathHost host;
  host.ServePath(OpenCorner(), true);
  {
    CustomPath path;
    EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
    ExpectShares(path, {30.0 / 70, 40.0 / 70, 0.0});
    for (int i = 0; i < 3; ++i) ExpectRecord(path.vertices[i], host.path_vertices[i], false);
    double X[4], Y[4];
    PathSegmentControls(SeedPathOf(path), 1, X, Y);
    EXPECT_EQ(X[0], 30);
    EXPECT_EQ(Y[1], 40.0 / 3);  // vertex 1's out-tangent
    EXPECT_EQ(Y[2], 80.0 / 3);  // vertex 2's in-tangent
    EXPECT_EQ(Y[3], 40);
    EXPECT_EQ(page_probe::Live(), 2);
    ReleaseCustomPath(&path);
    EXPECT_EQ(path.vertex_count, 0);
    EXPECT_EQ(path.vertices, nullptr);
    EXPECT_EQ(page_probe::Live(), 0);
  }
  // Checked out at the current time and back in unchanged, once.
  EXPECT_EQ(host.path_checkouts, 1);
  EXPECT_EQ(host.path_checkout.id, kPathId);
  EXPECT_EQ(host.path_checkout.time, 1200);
  EXPECT_EQ(host.path_checkout.step, 40);
  EXPECT_EQ(host.path_checkout.scale, 600u);
  EXPECT_EQ(host.path_checkins, 1);
  EXPECT_EQ(host.path_checkin.id, kPathId);
  EXPECT_EQ(host.path_checkin.changed, 0);
  EXPECT_EQ(host.path_checkin.path, host.path_handle());
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"checkout path", "checkin path", "release PF Path Data Suite",
                                      "release PF Path Query Suite"}));
  EXPECT_TRUE(host.SuitesBalanced());
}

TEST(CustomPathRead, ClosedPathRunsItsLastSegmentBackToTheFirstVertex) {
  PathHost host;
  host.ServePath(ClosedTriangle(), false);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
  ExpectShares(path, {30.0 / 120, 40.0 / 120, 50.0 / 120});
  double X[4], Y[4];
  PathSegmentControls(SeedPathOf(path), 2, X, Y);
  EXPECT_EQ(X[0], 30);
  EXPECT_EQ(Y[0], 40);
  EXPECT_EQ(X[2], 10);  // vertex 0's in-tangent
  EXPECT_EQ(X[3], 0);
  EXPECT_EQ(Y[3], 0);
}

TEST(CustomPathRead, ClosedOneSegmentPathIsOneVertexWithTheWholeShare) {
  PathHost host;
  host.ServePath({Vertex(5, 5, 0, 0, 10, 10)}, false);
  ASSERT_EQ(host.path_segments, 1);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 1);
  EXPECT_EQ(host.vertex_reads, 1);
  ExpectShares(path, {1.0});
  ExpectRecord(path.vertices[0], host.path_vertices[0], false);
  double X[4], Y[4];
  PathSegmentControls(SeedPathOf(path), 0, X, Y);
  EXPECT_EQ(X[1], 10);  // out through its own tangents
  EXPECT_EQ(X[2], 0);
  EXPECT_EQ(X[3], 5);
}

TEST(CustomPathRead, InvertedOpenPathIsWalkedBackwardsWithSwappedTangents) {
  PathHost host;
  host.ServePath(OpenCorner(), true);
  CustomPath path;
  ReadCustomPath(&host.in_data, kPathId, &path);
  double fx, fy;
  GrowthDirection(path, 1, &fx, &fy);

  host.ServePath(OpenCorner(), true, true);
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
  for (int i = 0; i < 3; ++i) ExpectRecord(path.vertices[i], host.path_vertices[2 - i], true);
  ExpectShares(path, {40.0 / 70, 30.0 / 70, 0.0});

  // The same stretch V1-V2, walked the other way, grows to the other side.
  double bx, by;
  GrowthDirection(path, 0, &bx, &by);
  EXPECT_NEAR(fx, -1.0, 1e-12);
  EXPECT_NEAR(fy, 0.0, 1e-12);
  EXPECT_NEAR(bx, 1.0, 1e-12);
  EXPECT_NEAR(by, 0.0, 1e-12);
}

TEST(CustomPathRead, InvertedClosedPathKeepsVertexZeroFirst) {
  PathHost host;
  host.ServePath(ClosedTriangle(), false, true);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
  ExpectRecord(path.vertices[0], host.path_vertices[0], true);
  ExpectRecord(path.vertices[1], host.path_vertices[2], true);
  ExpectRecord(path.vertices[2], host.path_vertices[1], true);
  ExpectShares(path, {50.0 / 120, 40.0 / 120, 30.0 / 120});
}

TEST(CustomPathRead, PathWithoutLengthGivesTheFirstSegmentEverything) {
  PathHost host;
  host.ServePath({Vertex(7, 7, 7, 7, 7, 7), Vertex(7, 7, 7, 7, 7, 7), Vertex(7, 7, 7, 7, 7, 7)},
                 false);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
  ExpectShares(path, {1.0, 0.0, 0.0});
}

// ---- Paths that are not there ----

TEST(CustomPathRead, PathIdZeroAsksTheHostForNothing) {
  PathHost host;
  host.ServePath(OpenCorner(), true);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, 0, &path), 0);
  ReleaseCustomPath(&path);
  EXPECT_EQ(host.acquires, 0);
  EXPECT_EQ(host.path_checkouts, 0);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(page_probe::Taken(), 0);
}

TEST(CustomPathRead, MissingSuiteChecksNothingOutAndReleasesTheOther) {
  for (int missing = 0; missing < 3; ++missing) {
    PathHost host;
    host.ServePath(OpenCorner(), true);
    host.has_path_query = missing != 1;
    host.has_path_data = missing != 0;
    if (missing == 2) host.in_data.pica_basicP = nullptr;
    {
      CustomPath path;
      EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 0);
      EXPECT_EQ(path.vertex_count, 0);
    }
    EXPECT_EQ(host.path_checkouts, 0) << "case " << missing;
    EXPECT_EQ(host.acquires, missing == 2 ? 0 : 1);
    EXPECT_TRUE(host.SuitesBalanced()) << "case " << missing;
    EXPECT_EQ(page_probe::Taken(), 0);
  }
}

TEST(CustomPathRead, CheckoutWithoutPathIsNotCheckedIn) {
  PathHost host;
  host.ServePath(OpenCorner(), true);
  host.give_path = false;
  {
    CustomPath path;
    EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 0);
  }
  EXPECT_EQ(host.path_checkouts, 1);
  EXPECT_EQ(host.path_checkins, 0);
  EXPECT_TRUE(host.SuitesBalanced());
  EXPECT_EQ(page_probe::Taken(), 0);
}

TEST(CustomPathRead, PathWithoutVerticesAllocatesAndReadsNothing) {
  for (bool negative : {false, true}) {
    PathHost host;
    host.ServePath({}, false);
    if (negative) host.path_segments = -3;
    {
      CustomPath path;
      EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 0);
    }
    EXPECT_EQ(host.vertex_reads, 0);
    EXPECT_EQ(page_probe::Taken(), 0);
    EXPECT_EQ(host.path_checkins, 1);
    EXPECT_TRUE(host.SuitesBalanced());
  }
}

TEST(CustomPathRead, RefusedArrayThrowsAndKeepsNothing) {
  for (int refused = 1; refused <= 2; ++refused) {
    PathHost host;
    host.ServePath(OpenCorner(), true);
    page_probe::FailAt(refused);
    {
      CustomPath path;
      EXPECT_THROW(ReadCustomPath(&host.in_data, kPathId, &path), std::bad_alloc);
      EXPECT_EQ(path.vertices, nullptr);
      EXPECT_EQ(path.fractions, nullptr);
      EXPECT_EQ(page_probe::Live(), 0) << "refused " << refused;
    }
    EXPECT_EQ(host.vertex_reads, 0);
    EXPECT_EQ(host.path_checkins, 1);
    EXPECT_TRUE(host.SuitesBalanced());
  }
}

// ---- Release ----

// Reads the served path, and releases it when `release`: the host's exception
// passes through, and the path, its pages and the suites are all given back.
void ExpectHostExceptionPasses(PathHost& host, bool release) {
  try {
    CustomPath path;
    ReadCustomPath(&host.in_data, kPathId, &path);
    if (release) ReleaseCustomPath(&path);
    FAIL() << "the host's exception did not pass";
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(host.path_checkins, 1);
  EXPECT_TRUE(host.SuitesBalanced());
  EXPECT_EQ(page_probe::Live(), 0);
}

TEST(CustomPathRelease, ExceptionFromTheHostStillReleasesEverything) {
  PathHost host;
  host.ServePath(ClosedTriangle(), false);
  host.throw_at_vertex = 1;
  ExpectHostExceptionPasses(host, false);
}

TEST(CustomPathRelease, CheckinThatThrowsIsNotRepeatedOnTheWayOut) {
  PathHost host;
  host.ServePath(OpenCorner(), true);
  host.throw_at_path_checkin = true;
  ExpectHostExceptionPasses(host, true);
}

TEST(CustomPathRelease, ReleaseHappensOnceAndTheRecordCanBeReadAgain) {
  PathHost host;
  host.ServePath(OpenCorner(), true);
  {
    CustomPath path;
    ReadCustomPath(&host.in_data, kPathId, &path);
    ReleaseCustomPath(&path);
    ReleaseCustomPath(&path);
    EXPECT_EQ(host.path_checkins, 1);
    EXPECT_EQ(host.calls.size(), 4u) << "checkout, checkin and the two releases";

    // A second read of a held record hands the first path back before it.
    ReadCustomPath(&host.in_data, kPathId, &path);
    ReadCustomPath(&host.in_data, kPathId, &path);
    EXPECT_EQ(host.path_checkins, 2);
    EXPECT_EQ(path.vertex_count, 3);
    EXPECT_EQ(page_probe::Live(), 2);
  }
  EXPECT_EQ(host.path_checkouts, 3);
  EXPECT_EQ(host.path_checkins, 3);
  EXPECT_TRUE(host.SuitesBalanced());
  EXPECT_EQ(page_probe::Live(), 0);
}

}  // namespace

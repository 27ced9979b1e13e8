#include "effect/mask_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "effect/entry.h"
#include "page_probe.h"

// The suite helpers live beside the entry-point handlers, which expect each
// program to name its shipped file; this program is no deliverable.
const char* const ShippedFileName = "qf_render_prep_tests";

namespace {

// ---- A host that serves the two path suites ----

class FakePathHost {
 public:
  FakePathHost() {
    Current() = this;
    in_data.effect_ref = reinterpret_cast<PF_ProgPtr>(&effect_token);
    in_data.current_time = 1200;
    in_data.time_step = 40;
    in_data.local_time_step = 20;
    in_data.time_scale = 600;
    in_data.pica_basicP = &basic;
    basic.AcquireSuite = &AcquireSuite;
    basic.ReleaseSuite = &ReleaseSuite;
    query.PF_CheckoutPath = &CheckoutPath;
    query.PF_CheckinPath = &CheckinPath;
    data.PF_PathIsOpen = &IsOpen;
    data.PF_PathNumSegments = &NumSegments;
    data.PF_PathVertexInfo = &VertexInfo;
    data.PF_PathIsInverted = &IsInverted;
    page_probe::Reset();
  }
  ~FakePathHost() { Current() = nullptr; }

  // The path the host serves; its segment count follows from open unless set.
  void Serve(std::vector<PF_PathVertex> path_vertices, bool is_open, bool is_inverted = false) {
    vertices = std::move(path_vertices);
    open = is_open;
    inverted = is_inverted;
    segments = A_long(vertices.size()) - (open ? 1 : 0);
  }
  bool Balanced() const {
    for (const auto& held : suites_held)
      if (held.second != 0) return false;
    return true;
  }

  PF_InData in_data = {};
  SPBasicSuite basic = {};
  PF_PathQuerySuite1 query = {};
  PF_PathDataSuite1 data = {};
  bool has_query = true;
  bool has_data = true;
  bool give_path = true;
  std::vector<PF_PathVertex> vertices;
  bool open = true;
  bool inverted = false;
  A_long segments = 0;
  int throw_at_vertex = -1;
  bool throw_at_checkin = false;

  std::map<std::string, int> suites_held;
  std::vector<std::string> releases;
  int acquires = 0;
  int checkouts = 0;
  int checkins = 0;
  int vertex_reads = 0;
  bool bad_effect_ref = false;
  PF_PathID checkout_id = 0, checkin_id = 0;
  A_long checkout_time = 0, checkout_step = 0;
  A_u_long checkout_scale = 0;
  PF_Boolean checkin_changed = 7;
  PF_PathOutlinePtr checkin_path = nullptr;
  PF_PathOutlinePtr handle = reinterpret_cast<PF_PathOutlinePtr>(&path_token);

 private:
  static FakePathHost*& Current() {
    static FakePathHost* current = nullptr;
    return current;
  }
  static FakePathHost& Host(PF_ProgPtr effect_ref) {
    FakePathHost& host = *Current();
    if (effect_ref != host.in_data.effect_ref) host.bad_effect_ref = true;
    return host;
  }
  static SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    FakePathHost& host = *Current();
    const std::string n = name;
    if (version == 1 && n == kPFPathQuerySuite && host.has_query) {
      *suite = &host.query;
    } else if (version == 1 && n == kPFPathDataSuite && host.has_data) {
      *suite = &host.data;
    } else {
      return kSPSuiteNotFoundError;
    }
    ++host.acquires;
    ++host.suites_held[n];
    return kSPNoError;
  }
  static SPErr ReleaseSuite(const char* name, int32_t) {
    FakePathHost& host = *Current();
    --host.suites_held[name];
    host.releases.push_back(name);
    return kSPNoError;
  }
  static PF_Err CheckoutPath(PF_ProgPtr ref, PF_PathID id, A_long time, A_long step, A_u_long scale,
                             PF_PathOutlinePtr* path) {
    FakePathHost& host = Host(ref);
    ++host.checkouts;
    host.checkout_id = id;
    host.checkout_time = time;
    host.checkout_step = step;
    host.checkout_scale = scale;
    *path = host.give_path ? host.handle : nullptr;
    return PF_Err_NONE;
  }
  static PF_Err CheckinPath(PF_ProgPtr ref, PF_PathID id, PF_Boolean changed,
                            PF_PathOutlinePtr path) {
    FakePathHost& host = Host(ref);
    ++host.checkins;
    host.checkin_id = id;
    host.checkin_changed = changed;
    host.checkin_path = path;
    if (host.throw_at_checkin) throw std::runtime_error("host gave up");
    return PF_Err_NONE;
  }
  static PF_Err IsOpen(PF_ProgPtr ref, PF_PathOutlinePtr path, PF_Boolean* open) {
    FakePathHost& host = Host(ref);
    EXPECT_EQ(path, host.handle);
    *open = host.open;
    return PF_Err_NONE;
  }
  static PF_Err NumSegments(PF_ProgPtr ref, PF_PathOutlinePtr path, A_long* count) {
    FakePathHost& host = Host(ref);
    EXPECT_EQ(path, host.handle);
    *count = host.segments;
    return PF_Err_NONE;
  }
  static PF_Err VertexInfo(PF_ProgPtr ref, PF_PathOutlinePtr path, A_long index,
                           PF_PathVertex* vertex) {
    FakePathHost& host = Host(ref);
    EXPECT_EQ(path, host.handle);
    if (index == host.throw_at_vertex) throw std::runtime_error("host gave up");
    ++host.vertex_reads;
    EXPECT_GE(index, 0);
    EXPECT_LT(size_t(index), host.vertices.size());
    *vertex = host.vertices.at(size_t(index));
    return PF_Err_NONE;
  }
  static PF_Err IsInverted(PF_ProgPtr ref, PF_PathID id, PF_Boolean* inverted) {
    FakePathHost& host = Host(ref);
    EXPECT_EQ(id, host.checkout_id);
    *inverted = host.inverted;
    return PF_Err_NONE;
  }

  int effect_token = 0;
  int path_token = 0;
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
  FakePathHost host;
  host.Serve(OpenCorner(), true);
  {
    CustomPath path;
    EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
    ExpectShares(path, {30.0 / 70, 40.0 / 70, 0.0});
    for (int i = 0; i < 3; ++i) ExpectRecord(path.vertices[i], host.vertices[i], false);
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
  EXPECT_EQ(host.checkouts, 1);
  EXPECT_EQ(host.checkout_id, kPathId);
  EXPECT_EQ(host.checkout_time, 1200);
  EXPECT_EQ(host.checkout_step, 40);
  EXPECT_EQ(host.checkout_scale, 600u);
  EXPECT_EQ(host.checkins, 1);
  EXPECT_EQ(host.checkin_id, kPathId);
  EXPECT_EQ(host.checkin_changed, 0);
  EXPECT_EQ(host.checkin_path, host.handle);
  EXPECT_EQ(host.releases, (std::vector<std::string>{kPFPathDataSuite, kPFPathQuerySuite}));
  EXPECT_TRUE(host.Balanced());
  EXPECT_FALSE(host.bad_effect_ref);
}

TEST(CustomPathRead, ClosedPathRunsItsLastSegmentBackToTheFirstVertex) {
  FakePathHost host;
  host.Serve(ClosedTriangle(), false);
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
  FakePathHost host;
  host.Serve({Vertex(5, 5, 0, 0, 10, 10)}, false);
  ASSERT_EQ(host.segments, 1);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 1);
  EXPECT_EQ(host.vertex_reads, 1);
  ExpectShares(path, {1.0});
  ExpectRecord(path.vertices[0], host.vertices[0], false);
  double X[4], Y[4];
  PathSegmentControls(SeedPathOf(path), 0, X, Y);
  EXPECT_EQ(X[1], 10);  // out through its own tangents
  EXPECT_EQ(X[2], 0);
  EXPECT_EQ(X[3], 5);
}

TEST(CustomPathRead, InvertedOpenPathIsWalkedBackwardsWithSwappedTangents) {
  FakePathHost host;
  host.Serve(OpenCorner(), true);
  CustomPath path;
  ReadCustomPath(&host.in_data, kPathId, &path);
  double fx, fy;
  GrowthDirection(path, 1, &fx, &fy);

  host.Serve(OpenCorner(), true, true);
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
  for (int i = 0; i < 3; ++i) ExpectRecord(path.vertices[i], host.vertices[2 - i], true);
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
  FakePathHost host;
  host.Serve(ClosedTriangle(), false, true);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
  ExpectRecord(path.vertices[0], host.vertices[0], true);
  ExpectRecord(path.vertices[1], host.vertices[2], true);
  ExpectRecord(path.vertices[2], host.vertices[1], true);
  ExpectShares(path, {50.0 / 120, 40.0 / 120, 30.0 / 120});
}

TEST(CustomPathRead, PathWithoutLengthGivesTheFirstSegmentEverything) {
  FakePathHost host;
  host.Serve({Vertex(7, 7, 7, 7, 7, 7), Vertex(7, 7, 7, 7, 7, 7), Vertex(7, 7, 7, 7, 7, 7)}, false);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 3);
  ExpectShares(path, {1.0, 0.0, 0.0});
}

// ---- Paths that are not there ----

TEST(CustomPathRead, PathIdZeroAsksTheHostForNothing) {
  FakePathHost host;
  host.Serve(OpenCorner(), true);
  CustomPath path;
  EXPECT_EQ(ReadCustomPath(&host.in_data, 0, &path), 0);
  ReleaseCustomPath(&path);
  EXPECT_EQ(host.acquires, 0);
  EXPECT_EQ(host.checkouts, 0);
  EXPECT_TRUE(host.releases.empty());
  EXPECT_EQ(page_probe::Taken(), 0);
}

TEST(CustomPathRead, MissingSuiteChecksNothingOutAndReleasesTheOther) {
  for (int missing = 0; missing < 3; ++missing) {
    FakePathHost host;
    host.Serve(OpenCorner(), true);
    host.has_query = missing != 1;
    host.has_data = missing != 0;
    if (missing == 2) host.in_data.pica_basicP = nullptr;
    {
      CustomPath path;
      EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 0);
      EXPECT_EQ(path.vertex_count, 0);
    }
    EXPECT_EQ(host.checkouts, 0) << "case " << missing;
    EXPECT_EQ(host.acquires, missing == 2 ? 0 : 1);
    EXPECT_TRUE(host.Balanced()) << "case " << missing;
    EXPECT_EQ(page_probe::Taken(), 0);
  }
}

TEST(CustomPathRead, CheckoutWithoutPathIsNotCheckedIn) {
  FakePathHost host;
  host.Serve(OpenCorner(), true);
  host.give_path = false;
  {
    CustomPath path;
    EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 0);
  }
  EXPECT_EQ(host.checkouts, 1);
  EXPECT_EQ(host.checkins, 0);
  EXPECT_TRUE(host.Balanced());
  EXPECT_EQ(page_probe::Taken(), 0);
}

TEST(CustomPathRead, PathWithoutVerticesAllocatesAndReadsNothing) {
  for (bool negative : {false, true}) {
    FakePathHost host;
    host.Serve({}, false);
    if (negative) host.segments = -3;
    {
      CustomPath path;
      EXPECT_EQ(ReadCustomPath(&host.in_data, kPathId, &path), 0);
    }
    EXPECT_EQ(host.vertex_reads, 0);
    EXPECT_EQ(page_probe::Taken(), 0);
    EXPECT_EQ(host.checkins, 1);
    EXPECT_TRUE(host.Balanced());
  }
}

TEST(CustomPathRead, RefusedArrayThrowsAndKeepsNothing) {
  for (int refused = 1; refused <= 2; ++refused) {
    FakePathHost host;
    host.Serve(OpenCorner(), true);
    page_probe::FailAt(refused);
    {
      CustomPath path;
      EXPECT_THROW(ReadCustomPath(&host.in_data, kPathId, &path), std::bad_alloc);
      EXPECT_EQ(path.vertices, nullptr);
      EXPECT_EQ(path.fractions, nullptr);
      EXPECT_EQ(page_probe::Live(), 0) << "refused " << refused;
    }
    EXPECT_EQ(host.vertex_reads, 0);
    EXPECT_EQ(host.checkins, 1);
    EXPECT_TRUE(host.Balanced());
  }
}

// ---- Release ----

// Reads the served path, and releases it when `release`: the host's exception
// passes through, and the path, its pages and the suites are all given back.
void ExpectHostExceptionPasses(FakePathHost& host, bool release) {
  try {
    CustomPath path;
    ReadCustomPath(&host.in_data, kPathId, &path);
    if (release) ReleaseCustomPath(&path);
    FAIL() << "the host's exception did not pass";
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(host.checkins, 1);
  EXPECT_TRUE(host.Balanced());
  EXPECT_EQ(page_probe::Live(), 0);
}

TEST(CustomPathRelease, ExceptionFromTheHostStillReleasesEverything) {
  FakePathHost host;
  host.Serve(ClosedTriangle(), false);
  host.throw_at_vertex = 1;
  ExpectHostExceptionPasses(host, false);
}

TEST(CustomPathRelease, CheckinThatThrowsIsNotRepeatedOnTheWayOut) {
  FakePathHost host;
  host.Serve(OpenCorner(), true);
  host.throw_at_checkin = true;
  ExpectHostExceptionPasses(host, true);
}

TEST(CustomPathRelease, ReleaseHappensOnceAndTheRecordCanBeReadAgain) {
  FakePathHost host;
  host.Serve(OpenCorner(), true);
  {
    CustomPath path;
    ReadCustomPath(&host.in_data, kPathId, &path);
    ReleaseCustomPath(&path);
    ReleaseCustomPath(&path);
    EXPECT_EQ(host.checkins, 1);
    EXPECT_EQ(host.releases.size(), 2u);

    // A second read of a held record hands the first path back before it.
    ReadCustomPath(&host.in_data, kPathId, &path);
    ReadCustomPath(&host.in_data, kPathId, &path);
    EXPECT_EQ(host.checkins, 2);
    EXPECT_EQ(path.vertex_count, 3);
    EXPECT_EQ(page_probe::Live(), 2);
  }
  EXPECT_EQ(host.checkouts, 3);
  EXPECT_EQ(host.checkins, 3);
  EXPECT_TRUE(host.Balanced());
  EXPECT_EQ(page_probe::Live(), 0);
}

}  // namespace

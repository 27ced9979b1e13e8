#include "effect/mask_path.h"

#include <cmath>
#include <new>

#include "effect/entry.h"

namespace {

// Below this total the path counts as having no length at all.
constexpr double kShortestPath = 0.00001;
constexpr double kShortPathTotal = 0.01;

void FreeArrays(CustomPath* path) {
  path->vertices.reset();
  path->fractions.reset();
  path->vertex_count = 0;
}

}  // namespace

CustomPath::~CustomPath() {
  // Reached only when an exception passes through the render: a second
  // exception here would end the process.
  try {
    ReleaseCustomPath(this);
  } catch (...) {
  }
}

int32_t ReadCustomPath(PF_InData* in_data, PF_PathID path_id, CustomPath* path) {
  ReleaseCustomPath(path);
  path->in_data = in_data;
  path->path_id = path_id;
  if (path_id == 0) return 0;

  // Each suite is noted in the record the moment it is held, so that the
  // release finds it whatever happens afterwards.
  const void* suite = nullptr;
  AcquireHostSuite(in_data, kPFPathQuerySuite, kPFPathQuerySuiteVersion1, &suite);
  path->query_suite = static_cast<const PF_PathQuerySuite1*>(suite);
  suite = nullptr;
  AcquireHostSuite(in_data, kPFPathDataSuite, kPFPathDataSuiteVersion1, &suite);
  path->data_suite = static_cast<const PF_PathDataSuite1*>(suite);
  if (!path->query_suite || !path->data_suite) return 0;

  PF_PathOutlinePtr outline = nullptr;
  path->query_suite->PF_CheckoutPath(in_data->effect_ref, path_id, in_data->current_time,
                                     in_data->time_step, in_data->time_scale, &outline);
  path->path = outline;
  if (!outline) return 0;

  const PF_PathDataSuite1& data = *path->data_suite;
  A_long segments = 0;
  PF_Boolean inverted = 0;
  PF_Boolean open = 0;
  data.PF_PathNumSegments(in_data->effect_ref, outline, &segments);
  data.PF_PathIsInverted(in_data->effect_ref, path_id, &inverted);
  data.PF_PathIsOpen(in_data->effect_ref, outline, &open);
  if (!open && segments == 1) {
    open = 1;
    segments = 0;
  }
  const int64_t count = open ? int64_t{segments} + 1 : int64_t{segments};
  if (count <= 0 || count > INT32_MAX) return 0;
  const int32_t nv = static_cast<int32_t>(count);

  path->vertices = AllocatePageArray<PathVertexRecord>(size_t(nv));
  path->fractions = AllocatePageArray<double>(size_t(nv));
  if (!path->vertices || !path->fractions) {
    FreeArrays(path);
    throw std::bad_alloc();  // the render ends with out of memory, the path released
  }

  // An inverted path is walked backwards with its tangents swapped; a
  // closed one keeps vertex 0 first.
  const int32_t last_offset = open ? 1 : 0;
  for (int32_t i = 0; i < nv; ++i) {
    PF_PathVertex v = {};
    data.PF_PathVertexInfo(in_data->effect_ref, outline, i, &v);
    if (inverted) {
      const int32_t j = (nv - i - last_offset) % nv;
      path->vertices[j] = {v.x, v.y, v.tan_out_x, v.tan_out_y, v.tan_in_x, v.tan_in_y};
    } else {
      path->vertices[i] = {v.x, v.y, v.tan_in_x, v.tan_in_y, v.tan_out_x, v.tan_out_y};
    }
  }
  path->vertex_count = nv;

  // An open path has no segment from its last vertex back to the first.
  double* fractions = path->fractions.get();
  fractions[nv - 1] = 0.0;
  double total = 0.0;
  for (int32_t i = 0; i < nv; ++i) {
    if (open && i == nv - 1) continue;
    double X[4], Y[4];
    PathSegmentControls(SeedPathOf(*path), i, X, Y);
    fractions[i] = BezierLength(X, Y);
    total = total + fractions[i];
  }
  if (total < kShortestPath) {
    total = kShortPathTotal;
    fractions[0] = kShortPathTotal;
  }
  for (int32_t i = 0; i < nv; ++i) fractions[i] = fractions[i] / total;
  return nv;
}

void ReleaseCustomPath(CustomPath* path) {
  // Each hold is dropped from the record before it is handed back, so that
  // a host call that throws is never repeated when the record is released
  // again on the way out.
  PF_PathOutlinePtr outline = path->path;
  path->path = nullptr;
  if (outline && path->query_suite)
    path->query_suite->PF_CheckinPath(path->in_data->effect_ref, path->path_id, 0, outline);
  const PF_PathDataSuite1* data = path->data_suite;
  path->data_suite = nullptr;
  if (data) ReleaseHostSuite(path->in_data, kPFPathDataSuite, kPFPathDataSuiteVersion1, data);
  const PF_PathQuerySuite1* query = path->query_suite;
  path->query_suite = nullptr;
  if (query) ReleaseHostSuite(path->in_data, kPFPathQuerySuite, kPFPathQuerySuiteVersion1, query);
  FreeArrays(path);
}

SeedPath SeedPathOf(const CustomPath& path) {
  SeedPath view;
  view.vertexCount = path.vertex_count;
  view.vertices = path.vertices.get();
  view.fractions = path.fractions.get();
  return view;
}

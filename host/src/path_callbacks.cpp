// The path suites, over the masks of the effect's layer.
#include "host_callbacks.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {
namespace {

// The shape of a checked-out path, or null with the misuse recorded.
const MaskPath* ShapeOfPath(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, const char* caller) {
  EffectCall c = LookUpEffect(effect_ref, caller);
  return c ? c.effect->CheckedOutPath(path, caller) : nullptr;
}

// An open path of n vertices has n - 1 segments; a closed one n, the last
// running back to the first vertex.
A_long SegmentCount(const MaskPath& path) {
  const A_long n = static_cast<A_long>(path.vertices.size());
  return path.closed ? n : n - 1;
}

}  // namespace

PF_Err PathCallbacks::NumPaths(PF_ProgPtr effect_ref, A_long* num_paths) {
  EffectCall c = LookUpEffect(effect_ref, "PF_NumPaths");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  if (!num_paths) {
    c.session->RecordError("PF_NumPaths: no result pointer");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *num_paths = static_cast<A_long>(c.effect->mask_count());
  return PF_Err_NONE;
}

PF_Err PathCallbacks::PathInfo(PF_ProgPtr effect_ref, A_long index, PF_PathID* unique_id) {
  EffectCall c = LookUpEffect(effect_ref, "PF_PathInfo");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  if (!unique_id) {
    c.session->RecordError("PF_PathInfo: no result pointer");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return c.effect->MaskIdAt(index, unique_id);
}

PF_Err PathCallbacks::CheckoutPath(PF_ProgPtr effect_ref, PF_PathID unique_id, A_long what_time,
                                   A_long, A_u_long time_scale, PF_PathOutlinePtr* path) {
  EffectCall c = LookUpEffect(effect_ref, "PF_CheckoutPath");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  return c.effect->CheckoutPath(
      unique_id, c.effect->CallbackSeconds(what_time, time_scale, "PF_CheckoutPath"), path);
}

PF_Err PathCallbacks::CheckinPath(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean,
                                  PF_PathOutlinePtr path) {
  EffectCall c = LookUpEffect(effect_ref, "PF_CheckinPath");
  return c ? c.effect->CheckinPath(unique_id, path) : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err PathCallbacks::PathIsOpen(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, PF_Boolean* open) {
  const MaskPath* shape = ShapeOfPath(effect_ref, path, "PF_PathIsOpen");
  if (!shape || !open) return PF_Err_BAD_CALLBACK_PARAM;
  *open = shape->closed ? 0 : 1;
  return PF_Err_NONE;
}

PF_Err PathCallbacks::PathNumSegments(PF_ProgPtr effect_ref, PF_PathOutlinePtr path,
                                      A_long* num_segments) {
  const MaskPath* shape = ShapeOfPath(effect_ref, path, "PF_PathNumSegments");
  if (!shape || !num_segments) return PF_Err_BAD_CALLBACK_PARAM;
  *num_segments = SegmentCount(*shape);
  return PF_Err_NONE;
}

PF_Err PathCallbacks::PathVertexInfo(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, A_long which,
                                     PF_PathVertex* vertex) {
  const MaskPath* shape = ShapeOfPath(effect_ref, path, "PF_PathVertexInfo");
  if (!shape || !vertex) return PF_Err_BAD_CALLBACK_PARAM;
  // Vertices 0 to the segment count: on a closed path the last of them is vertex 0 again.
  const A_long n = static_cast<A_long>(shape->vertices.size());
  if (which < 0 || which > SegmentCount(*shape)) {
    ActiveSession("PF_PathVertexInfo")
        ->RecordError("PF_PathVertexInfo: no vertex " + std::to_string(which) + " (the path has " +
                      std::to_string(n) + ")");
    return PF_Err_INVALID_INDEX;
  }
  const MaskVertex& v = shape->vertices[which % n];
  *vertex = PF_PathVertex{v.x, v.y, v.in_x, v.in_y, v.out_x, v.out_y};
  return PF_Err_NONE;
}

PF_Err PathCallbacks::PathIsInverted(PF_ProgPtr effect_ref, PF_PathID unique_id,
                                     PF_Boolean* inverted) {
  EffectCall c = LookUpEffect(effect_ref, "PF_PathIsInverted");
  if (!c || !inverted) return PF_Err_BAD_CALLBACK_PARAM;
  const HostMask* mask = c.effect->FindMask(unique_id);
  if (!mask) {
    c.session->RecordError("PF_PathIsInverted: no path " + std::to_string(unique_id));
    *inverted = 0;
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *inverted = mask->inverted ? 1 : 0;
  return PF_Err_NONE;
}

}  // namespace qfhost

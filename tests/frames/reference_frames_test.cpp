// Reference frames: small fixed frames of both deliverables, rendered end
// to end through the host library, whose pixel hashes are kept here so that
// any change anywhere along the way (parameters, growth, mesh, conversions,
// engine) that alters a pixel is noticed. A deliberate change of output
// updates these hashes in the same commit, with the reason in its message.
//
// The rows are in reference_frames.h. A frame that no longer matches is
// written to a PNG, named in the failure.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "effect_frames.h"
#include "reference_frames.h"
#include "qf_host/mask.h"

namespace {

using frames::FrameRequest;
using frames::Reference;

#ifdef _WIN32
constexpr bool kWindowsRuntime = true;
#else
constexpr bool kWindowsRuntime = false;
#endif

class ReferenceFrame : public ::testing::TestWithParam<Reference> {};

TEST_P(ReferenceFrame, KeepsEveryPixel) {
  const Reference& r = GetParam();
  FrameRequest request;
  request.deep = r.deep;
  request.settings = r.settings;
  if (r.mask) request.mask = qfhost::ParseSvgPathData(r.mask);
  if (r.render_mode != 0) request.popups.push_back({"Render mode", r.render_mode});
  const qfhost::HostWorld frame = frames::RenderFrame(request, r.deliverable);
  ASSERT_GT(frames::DifferingPixels(frame, frames::SourceOf(request)), 0) << "nothing drawn";
  const uint64_t hash = frames::PixelHash(frame);
  EXPECT_EQ(hash, kWindowsRuntime ? r.windows_hash : r.hash)
      << r.name << ": 0x" << std::hex << hash << "; the frame is "
      << frames::SaveForInspection(frame, r.name);
}

INSTANTIATE_TEST_SUITE_P(Floral320x180, ReferenceFrame,
                         ::testing::ValuesIn(frames::kFloralReferences),
                         [](const ::testing::TestParamInfo<Reference>& info) {
                           return std::string(info.param.name);
                         });
INSTANTIATE_TEST_SUITE_P(Geometry320x180, ReferenceFrame,
                         ::testing::ValuesIn(frames::kGeometryReferences),
                         [](const ::testing::TestParamInfo<Reference>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace

// Reference frames: small fixed frames of both deliverables, rendered end
// to end through the host library, whose pixel hashes are kept here so that
// any change anywhere along the way (parameters, growth, mesh, conversions,
// engine) that alters a pixel is noticed. A deliberate change of output
// updates these hashes in the same commit, with the reason in its message.
//
// A frame that no longer matches is written to a PNG, named in the failure.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "effect_frames.h"
#include "qf_host/mask.h"

namespace {

using frames::FrameRequest;

struct Reference {
  const char* name;
  bool deep;
  std::vector<std::string> settings;
  const char* mask;  // SVG path data of a mask on the source, or null
  uint64_t hash;
  const char* deliverable = frames::kFloral;
};
void PrintTo(const Reference& r, std::ostream* os) { *os << r.name; }

class ReferenceFrame : public ::testing::TestWithParam<Reference> {};

TEST_P(ReferenceFrame, KeepsEveryPixel) {
  const Reference& r = GetParam();
  FrameRequest request;
  request.deep = r.deep;
  request.settings = r.settings;
  if (r.mask) request.mask = qfhost::ParseSvgPathData(r.mask);
  const qfhost::HostWorld frame = frames::RenderFrame(request, r.deliverable);
  ASSERT_GT(frames::DifferingPixels(frame, frames::SourceOf(request)), 0) << "nothing drawn";
  const uint64_t hash = frames::PixelHash(frame);
  EXPECT_EQ(hash, r.hash) << r.name << ": 0x" << std::hex << hash << "; the frame is "
                          << frames::SaveForInspection(frame, r.name);
}

// An arch from the lower left to the lower right corner, in 320 x 180 pixels.
constexpr const char* kArch = "M 30 150 C 90 40 230 40 290 150";

INSTANTIATE_TEST_SUITE_P(
    Floral320x180, ReferenceFrame,
    ::testing::Values(Reference{"Default8", false, {}, nullptr, 0x61b6e64d99b77393ull},
                      Reference{"Default16", true, {}, nullptr, 0x0dcb0c75feb72e77ull},
                      Reference{"MaskTop", false, {"Mask kind=Top"}, nullptr, 0x2dcaced1de267253ull},
                      Reference{"MaskPerimeter16", true, {"Mask kind=Perimeter"}, nullptr, 0x5a0fee5e13b3d9e1ull},
                      Reference{"CustomPath", false, {"Mask kind=Custom path"}, kArch, 0x22b795f5799eed77ull},
                      Reference{"Rough", false, {"Render mode=Rough"}, nullptr, 0x42d6aa10b5feb8a7ull},
                      Reference{"Line", false, {"Render mode=Line"}, nullptr, 0x952b5f20abd68709ull},
                      Reference{"Flat", false, {"Render mode=Flat"}, nullptr, 0x38407986b6f2529full}),
    [](const ::testing::TestParamInfo<Reference>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Geometry320x180, ReferenceFrame,
    ::testing::Values(Reference{"Default8", false, {}, nullptr, 0xebc3b90372c90df7ull, frames::kGeometry},
                      Reference{"CustomFlatKind1_16",
                                true,
                                {"Mask kind=Custom", "Rendering mode=Flat", "QuillFrame kind=Geometric 1"},
                                kArch,
                                0x11b4b5ae2ae18b85ull,
                                frames::kGeometry}),
    [](const ::testing::TestParamInfo<Reference>& info) { return std::string(info.param.name); });

}  // namespace

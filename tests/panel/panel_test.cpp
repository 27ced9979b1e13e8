// The "Information" area of each deliverable as the host shows it. The
// expected pictures are composed here from the bitmap files the resource
// scripts name: the background, then the banner, the Help button and the
// About button over it at their places, each file's rows in stored order
// from the top (the files are stored upside down to appear upright).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "AE_EffectSuites.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/panel.h"
#include "qf_host/param_values.h"

namespace {

using qfhost::HostPanel;

struct Bitmap {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // rows in the file's order
};

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

Bitmap ReadBitmap(int id) {
  const std::string path = QF_BITMAPS "panel" + std::to_string(id) + ".bmp";
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
  Bitmap bmp;
  if (b.size() < 54 || Le(b, 28, 2) != 24) {
    ADD_FAILURE() << path << ": not a 24-bit bitmap";
    return bmp;
  }
  bmp.width = static_cast<int>(Le(b, 18, 4));
  bmp.height = static_cast<int>(Le(b, 22, 4));
  const size_t stride = (bmp.width * 3 + 3) & ~3u, start = Le(b, 10, 4);
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x)
      for (int c = 2; c >= 0; --c) bmp.rgb.push_back(b.at(start + y * stride + x * 3 + c));
  return bmp;
}

// The panel as it should look: 385 x 106, rows of red, green, blue.
std::vector<uint8_t> ExpectedPanel(int help, int about) {
  const int width = 385, height = 106;
  std::vector<uint8_t> rgb;
  for (int i = 0; i < width * height; ++i)
    rgb.insert(rgb.end(), std::begin(HostPanel::kBackground), std::end(HostPanel::kBackground));
  const struct { int id, x, y; } layers[] = {{781, 0, 0}, {help, 10, 10}, {about, 5, 40}};
  for (const auto& layer : layers) {
    const Bitmap bmp = ReadBitmap(layer.id);
    for (int y = 0; y < bmp.height; ++y)
      for (int x = 0; x < bmp.width; ++x)
        for (int c = 0; c < 3; ++c)
          rgb[((layer.y + y) * width + layer.x + x) * 3 + c] = bmp.rgb[(y * bmp.width + x) * 3 + c];
  }
  return rgb;
}

std::vector<uint8_t> Shown(const HostPanel& panel) {
  std::vector<uint8_t> rgb;
  for (size_t i = 0; i < panel.image().rgba.size(); i += 4) {
    EXPECT_EQ(panel.image().rgba[i + 3], 255);
    for (int c = 0; c < 3; ++c) rgb.push_back(static_cast<uint8_t>(panel.image().rgba[i + c]));
  }
  return rgb;
}

// One effect set up to its sequence with its "Information" area shown. At the
// end the effect is set down and the host must have nothing to complain of.
class PanelOf : public ::testing::TestWithParam<const char*> {
 protected:
  PanelOf() : effect_(host_, qfhost::Deliverable::Load(GetParam())) {
    EXPECT_EQ(effect_.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(effect_.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(effect_.SequenceSetup(), PF_Err_NONE);
    panel_.emplace(effect_, qfhost::FindParam(effect_, "Information"));
  }
  ~PanelOf() override {
    panel_.reset();
    EXPECT_EQ(effect_.SequenceSetdown(), PF_Err_NONE);
    EXPECT_EQ(effect_.GlobalSetdown(), PF_Err_NONE);
    EXPECT_EQ(host_.errors(), std::vector<std::string>());
    EXPECT_EQ(host_.UnreleasedSuites(), std::vector<std::string>());
    EXPECT_EQ(host_.live_handle_count(), 0u);
  }
  size_t Invalidations() const { return panel_->invalidated().size(); }

  qfhost::HostSession host_;
  qfhost::LoadedEffect effect_;
  std::optional<HostPanel> panel_;
};

TEST_P(PanelOf, DrawsTheBannerAndBothButtons) {
  HostPanel& panel = *panel_;
  ASSERT_EQ(panel.width(), 385);
  ASSERT_EQ(panel.height(), 106);
  ASSERT_EQ(panel.Draw(), PF_Err_NONE);
  EXPECT_EQ(panel.out_flags(), PF_EO_HANDLED_EVENT);
  EXPECT_EQ(panel.images_drawn(), 3);
  EXPECT_EQ(Shown(panel), ExpectedPanel(784, 782));
  // Each bitmap took the drawing suites and the custom UI suite once.
  for (const char* name : {kDRAWBOT_DrawSuite, kDRAWBOT_SurfaceSuite, kPFEffectCustomUISuite})
    EXPECT_EQ(host_.suite_uses().at({name, 1}).acquired, 3) << name;
}

TEST_P(PanelOf, HoverLooksFollowTheCursor) {
  HostPanel& panel = *panel_;
  // Before the first draw the cursor is not followed.
  ASSERT_EQ(panel.MoveCursor(40, 25), PF_Err_NONE);
  EXPECT_EQ(Invalidations(), 0u);
  ASSERT_EQ(panel.Draw(), PF_Err_NONE);

  // Onto Help: one invalidation of the area, and the redraw shows its hover look.
  ASSERT_EQ(panel.MoveCursor(40, 25), PF_Err_NONE);
  ASSERT_EQ(Invalidations(), 1u);
  const PF_Rect area = panel.frame(), invalid = panel.invalidated()[0];
  EXPECT_EQ(std::vector<A_long>({invalid.left, invalid.top, invalid.right, invalid.bottom}),
            std::vector<A_long>({area.left, area.top, area.right, area.bottom}));
  EXPECT_EQ(Shown(panel), ExpectedPanel(785, 782));
  ASSERT_EQ(panel.AdjustCursor(41, 26), PF_Err_NONE);
  EXPECT_EQ(Invalidations(), 1u) << "a move within one button redraws nothing";

  // Where the boxes overlap both looks change, and About covers Help's lowest rows.
  ASSERT_EQ(panel.AdjustCursor(20, 42), PF_Err_NONE);
  EXPECT_EQ(panel.out_flags(), PF_EO_HANDLED_EVENT | PF_EO_UPDATE_NOW);
  EXPECT_TRUE(panel.value_changed());
  ASSERT_EQ(panel.Draw(), PF_Err_NONE);
  const std::vector<uint8_t> both = ExpectedPanel(785, 783);
  EXPECT_EQ(Shown(panel), both);
  const Bitmap about = ReadBitmap(783);  // its pixel (15, 4) lies on Help's row 34
  const size_t at = (44 * 385 + 20) * 3, in_about = (4 * about.width + 15) * 3;
  EXPECT_TRUE(std::equal(both.begin() + at, both.begin() + at + 3, about.rgb.begin() + in_about));

  // Away from both: plain looks again.
  ASSERT_EQ(panel.MoveCursor(200, 95), PF_Err_NONE);
  EXPECT_EQ(Invalidations(), 3u);
  EXPECT_EQ(Shown(panel), ExpectedPanel(784, 782));
}

TEST_P(PanelOf, SuppressedOrCollapsedTracksNothing) {
  HostPanel& panel = *panel_;
  ASSERT_EQ(panel.Draw(), PF_Err_NONE);
  ASSERT_EQ(panel.Draw(PF_EI_DONT_DRAW), PF_Err_NONE);
  ASSERT_EQ(panel.MoveCursor(40, 25), PF_Err_NONE);
  EXPECT_EQ(Invalidations(), 0u);
  EXPECT_EQ(panel.out_flags(), 0);

  panel.SetCollapsed(true);
  ASSERT_EQ(panel.Draw(), PF_Err_NONE);
  ASSERT_EQ(panel.MoveCursor(40, 25), PF_Err_NONE);
  EXPECT_EQ(Invalidations(), 0u);

  panel.SetCollapsed(false);
  ASSERT_EQ(panel.MoveCursor(40, 25), PF_Err_NONE);
  EXPECT_EQ(Invalidations(), 1u);
  EXPECT_EQ(Shown(panel), ExpectedPanel(785, 782));
}

TEST_P(PanelOf, MissingAppSuiteEndsTheHoverWith516) {
  HostPanel& panel = *panel_;
  ASSERT_EQ(panel.Draw(), PF_Err_NONE);
  host_.WithdrawSuite(kPFAppSuite, kPFAppSuiteVersion6);
  EXPECT_EQ(panel.MoveCursor(40, 25), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(Invalidations(), 0u);
  // The suites taken before are given back (checked as the fixture ends).
}

INSTANTIATE_TEST_SUITE_P(Deliverables, PanelOf, ::testing::Values(QF_FLORAL_PATH, QF_GEOMETRY_PATH),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.index == 0 ? "Floral" : "Geometry");
                         });

}  // namespace

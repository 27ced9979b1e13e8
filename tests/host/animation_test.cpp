// Animation as the host runs it: keyframed values and their interpolation,
// frame rates and times, moving masks, and the frame ranges, output names and
// progress lines of the command line.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "host_error_of.h"
#include "qf_host/animation.h"
#include "qf_host/frame_range.h"
#include "qf_host/frame_time.h"
#include "qf_host/host_error.h"
#include "qf_host/param_values.h"

namespace {

using qfhost::FrameRate;
using qfhost::HostError;
using qfhost::MaskKey;
using qfhost::MaskPath;
using qfhost::ParamTrack;

const qfhost::LayerSize kLayer{400, 200};
const FrameRate k24{24, 1};
const FrameRate k30{30, 1};

using qfhost_test::ErrorOf;

PF_ParamDef Named(PF_ParamType type, const char* name) {
  PF_ParamDef def{};
  def.param_type = type;
  std::strcpy(def.name, name);
  return def;
}

PF_ParamDef Completeness() {
  PF_ParamDef d = Named(PF_Param_FIX_SLIDER, "Completeness");
  d.u.fd.valid_max = 100 << 16;
  return d;
}

PF_ParamDef Popup() {
  PF_ParamDef d = Named(PF_Param_POPUP, "Mask kind");
  d.u.pd.namesptr = "Bottom|Top|Perimeter";
  d.u.pd.num_choices = 3;
  return d;
}

// The value `def` takes from `text` (keyed at 24 frames a second) at `seconds`.
PF_ParamDef At(PF_ParamDef def, const std::string& text, double seconds, FrameRate rate = k24) {
  const ParamTrack track = qfhost::ParseParamTrack(def, text, kLayer, rate);
  qfhost::SetValueAt(track, seconds, def);
  return def;
}

TEST(Keyframes, NumbersMoveLinearlyAndHoldOutsideTheKeys) {
  const PF_ParamDef c = Completeness();
  // Frames 0 and 4 at 24 frames a second: 0 s and 1/6 s.
  EXPECT_EQ(At(c, "0@0,100@4", -1.0).u.fd.value, 0);
  EXPECT_EQ(At(c, "0@0,100@4", 0.0).u.fd.value, 0);
  EXPECT_EQ(At(c, "0@0,100@4", 1.0 / 24).u.fd.value, 25 << 16);
  EXPECT_EQ(At(c, "0@0,100@4", 2.0 / 24).u.fd.value, 50 << 16);
  EXPECT_EQ(At(c, "0@0,100@4", 4.0 / 24).u.fd.value, 100 << 16);
  EXPECT_EQ(At(c, "0@0,100@4", 9.0).u.fd.value, 100 << 16);
  // Keys in any order; three keys make two stretches.
  EXPECT_EQ(At(c, "100@2s,0@0,50@1s", 1.5).u.fd.value, 75 << 16);
  EXPECT_EQ(At(c, "100@2s,0@0,50@1s", 0.5).u.fd.value, 25 << 16);
  EXPECT_EQ(At(c, "40@1s", 0.0).u.fd.value, 40 << 16);  // one key holds throughout

  // Whole-number sliders round to the nearest.
  PF_ParamDef s = Named(PF_Param_SLIDER, "Random seed");
  s.u.sd.valid_max = 1000;
  EXPECT_EQ(At(s, "0@0,3@1s", 0.5).u.sd.value, 2);
  EXPECT_EQ(At(s, "0@0,3@1s", 0.4).u.sd.value, 1);

  // Angles in degrees, without a range.
  EXPECT_EQ(At(Named(PF_Param_ANGLE, "Rotate UV"), "-90@0,90@2s", 1.5).u.ad.value, 45 << 16);
}

TEST(Keyframes, ColoursAndPointsMoveChannelByChannel) {
  PF_ParamDef colour = Named(PF_Param_COLOR, "Diffuse");
  colour.u.cd.value.alpha = 7;
  const PF_ParamDef mid = At(colour, "#000000@0,#ff8040@1s", 0.5);
  EXPECT_EQ(mid.u.cd.value.red, 128);  // 127.5 rounds up
  EXPECT_EQ(mid.u.cd.value.green, 64);
  EXPECT_EQ(mid.u.cd.value.blue, 32);
  EXPECT_EQ(mid.u.cd.value.alpha, 7);  // kept as declared

  // A point keeps its own comma; percent is of the layer, 400 x 200.
  const PF_ParamDef where = At(Named(PF_Param_POINT, "Position"), "10%,50%@0, 90%,0@2s", 1.0);
  EXPECT_EQ(where.u.td.x_value, 200 << 16);
  EXPECT_EQ(where.u.td.y_value, 50 << 16);
}

TEST(Keyframes, PopupsAndCheckboxesHoldUntilTheNextKey) {
  const PF_ParamDef p = Popup();
  EXPECT_EQ(At(p, "Bottom@0,Perimeter@10,Top@20", -5.0 / 24).u.pd.value, 1);
  EXPECT_EQ(At(p, "Bottom@0,Perimeter@10,Top@20", 9.9 / 24).u.pd.value, 1);
  EXPECT_EQ(At(p, "Bottom@0,Perimeter@10,Top@20", 10.0 / 24).u.pd.value, 3);
  EXPECT_EQ(At(p, "Bottom@0,Perimeter@10,Top@20", 19.0 / 24).u.pd.value, 3);
  EXPECT_EQ(At(p, "Bottom@0,Perimeter@10,Top@20", 25.0 / 24).u.pd.value, 2);
  const PF_ParamDef box = Named(PF_Param_CHECKBOX, "Glass");
  EXPECT_EQ(At(box, "on@0,off@1s", 0.99).u.bd.value, 1);
  EXPECT_EQ(At(box, "on@0,off@1s", 1.0).u.bd.value, 0);
}

TEST(Keyframes, KindsWithAValueTakeKeysAndNoOthers) {
  for (PF_ParamType kind : {PF_Param_SLIDER, PF_Param_FIX_SLIDER, PF_Param_ANGLE, PF_Param_CHECKBOX,
                            PF_Param_COLOR, PF_Param_POINT, PF_Param_POPUP})
    EXPECT_TRUE(qfhost::IsAnimatable(kind)) << kind;
  for (PF_ParamType kind :
       {PF_Param_LAYER, PF_Param_PATH, PF_Param_GROUP_START, PF_Param_GROUP_END, PF_Param_NO_DATA})
    EXPECT_FALSE(qfhost::IsAnimatable(kind)) << kind;
}

TEST(Keyframes, SetValueAtChangesOnlyTheValue) {
  PF_ParamDef c = Completeness();
  c.flags = 0x40;
  c.ui_flags = 0x8;
  const ParamTrack track = qfhost::ParseParamTrack(c, "10@0,20@1", kLayer, k24);
  PF_ParamDef later = c;
  later.ui_flags = 0x1;  // changed by the effect after the keys were made
  qfhost::SetValueAt(track, 0.0, later);
  EXPECT_EQ(later.u.fd.value, 10 << 16);
  EXPECT_EQ(later.u.fd.valid_max, 100 << 16);
  EXPECT_EQ(later.flags, 0x40);
  EXPECT_EQ(later.ui_flags, 0x1);
}

TEST(Keyframes, BadKeysAreRefusedWithTheParametersName) {
  const PF_ParamDef c = Completeness();
  const auto refusal = [&](const PF_ParamDef& def, const std::string& text) {
    return ErrorOf([&] { qfhost::ParseParamTrack(def, text, kLayer, k24); });
  };
  EXPECT_EQ(
      refusal(c, "0@0,100@soon"),
      "Completeness: keyframe time 'soon' is not a number of frames (12) or of seconds (0.5s)");
  EXPECT_EQ(refusal(c, "0@0,100@"),
            "Completeness: keyframe time '' is not a number of frames (12) or of seconds (0.5s)");
  EXPECT_EQ(refusal(c, "0@0,100"), "Completeness: key '100' has no @TIME");
  EXPECT_EQ(refusal(c, "0@0,"), "Completeness: key '' has no @TIME");
  EXPECT_EQ(refusal(c, "0@0,101@4"), "Completeness: 101 is outside the valid range 0 to 100");
  EXPECT_EQ(refusal(c, "0@12,50@0.5s"), "Completeness: two keys at 0.5 s");  // frame 12 is 0.5 s
  EXPECT_EQ(refusal(Popup(), "Side@0"),
            "Mask kind: no choice 'Side' (Bottom, Top, Perimeter, or a number 1 to 3)");
  EXPECT_EQ(refusal(Named(PF_Param_LAYER, "Texture reflection"), "0@0"),
            "Texture reflection: a layer parameter takes no keyframes");
  EXPECT_EQ(refusal(Named(PF_Param_PATH, "Path of custom contour"), "0@0"),
            "Path of custom contour: a path parameter takes no keyframes");
  EXPECT_TRUE(qfhost::IsKeyed("1@0"));
  EXPECT_FALSE(qfhost::IsKeyed("25%,50%"));
}

TEST(FrameTimes, RatesBecomeTicks) {
  const auto rate = [](const std::string& text) {
    const FrameRate r = qfhost::ParseFrameRate(text);
    return std::to_string(r.time_step) + "/" + std::to_string(r.time_scale);
  };
  EXPECT_EQ(rate("24"), "1/24");
  EXPECT_EQ(rate("30"), "1/30");
  EXPECT_EQ(rate("29.97"), "100/2997");
  EXPECT_EQ(rate("23.976"), "125/2997");
  EXPECT_EQ(rate("12.5"), "2/25");
  for (const char* bad : {"0", "-24", "1001", "fast", "24fps", "nan", ""})
    EXPECT_NE(ErrorOf([&] { qfhost::ParseFrameRate(bad); }).find("is not a frame rate"),
              std::string::npos)
        << bad;
  EXPECT_EQ(ErrorOf([] { qfhost::ParseFrameRate("24.0001"); }),
            "--fps: '24.0001' has more than three decimals");
}

TEST(FrameTimes, FramesAndSecondsAtTwentyFourAndThirty) {
  const qfhost::FrameTime t = qfhost::TimeOfFrame(12, 48, k24);
  EXPECT_EQ(t.current_time, 12);
  EXPECT_EQ(t.time_step, 1);
  EXPECT_EQ(t.time_scale, 24u);
  EXPECT_EQ(t.total_time, 48);
  EXPECT_DOUBLE_EQ(qfhost::Seconds(t.current_time, t.time_scale), 0.5);
  const qfhost::FrameTime ntsc = qfhost::TimeOfFrame(30, 31, qfhost::ParseFrameRate("29.97"));
  EXPECT_EQ(ntsc.current_time, 3000);
  EXPECT_EQ(ntsc.time_scale, 2997u);

  const qfhost::KeyTime frame12 = qfhost::ParseKeyTime("12");
  const qfhost::KeyTime half = qfhost::ParseKeyTime(" 0.5s ");
  EXPECT_FALSE(frame12.seconds);
  EXPECT_TRUE(half.seconds);
  EXPECT_DOUBLE_EQ(qfhost::ToSeconds(frame12, k24), 0.5);
  EXPECT_DOUBLE_EQ(qfhost::ToSeconds(frame12, k30), 0.4);
  EXPECT_DOUBLE_EQ(qfhost::ToSeconds(half, k30), 0.5);
  EXPECT_EQ(qfhost::FrameAt(half, k24), 12);
  EXPECT_EQ(qfhost::FrameAt(half, k30), 15);
  EXPECT_EQ(qfhost::FrameAt(qfhost::ParseKeyTime("0.1s"), k30), 3);    // not 2.9999...
  EXPECT_EQ(qfhost::FrameAt(qfhost::ParseKeyTime("0.49s"), k24), 11);  // the frame begun by then
  EXPECT_EQ(qfhost::FrameAt(frame12, k30), 12);

  EXPECT_EQ(ErrorOf([] { qfhost::FrameAt(qfhost::ParseKeyTime("2.5"), k24); }),
            "frame 2.5 is not a whole frame");
  EXPECT_EQ(ErrorOf([] { qfhost::FrameAt(qfhost::ParseKeyTime("-1"), k24); }),
            "time -1 lies before the first frame");
  EXPECT_EQ(ErrorOf([] { qfhost::ParseKeyTime("1.5ss"); }),
            "'1.5ss' is not a number of frames (12) or of seconds (0.5s)");
  // Ticks are 32-bit: at 29.97 a frame is 100 ticks.
  EXPECT_NE(ErrorOf([] {
              qfhost::TimeOfFrame(30000000, 30000001, FrameRate{2997, 100});
            }).find("beyond"),
            std::string::npos);
  EXPECT_EQ(qfhost::TimeOfFrame(INT32_MAX - 1, INT32_MAX, k24).current_time, INT32_MAX - 1);
}

MaskPath Square(double size, bool closed = true) {
  MaskPath p;
  p.closed = closed;
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {size, 0.0}, {size, size}, {0.0, size}})
    p.vertices.push_back({x, y, x - 1, y, x + 1, y});
  return p;
}

TEST(MaskKeys, VerticesAndTangentsMoveBetweenShapes) {
  const std::vector<MaskKey> keys =
      qfhost::OrderMaskKeys({{2.0, Square(100), "big.svg"}, {0.0, Square(20), "small.svg"}});
  EXPECT_EQ(keys[0].source, "small.svg");
  const MaskPath mid = qfhost::MaskAt(keys, 1.0);
  ASSERT_EQ(mid.vertices.size(), 4u);
  EXPECT_DOUBLE_EQ(mid.vertices[2].x, 60);
  EXPECT_DOUBLE_EQ(mid.vertices[2].y, 60);
  EXPECT_DOUBLE_EQ(mid.vertices[2].in_x, 59);
  EXPECT_DOUBLE_EQ(mid.vertices[2].out_x, 61);
  EXPECT_DOUBLE_EQ(qfhost::MaskAt(keys, 1.5).vertices[1].x, 80);
  EXPECT_DOUBLE_EQ(qfhost::MaskAt(keys, -3).vertices[1].x, 20);
  EXPECT_DOUBLE_EQ(qfhost::MaskAt(keys, 30).vertices[1].x, 100);
  EXPECT_TRUE(qfhost::MaskAt(keys, 1.0).closed);
}

TEST(MaskKeys, ShapesThatCannotMoveIntoEachOtherAreRefused) {
  MaskPath triangle = Square(10);
  triangle.vertices.pop_back();
  EXPECT_EQ(ErrorOf([&] {
              qfhost::OrderMaskKeys({{0.0, Square(10), "a.svg"}, {2.0, triangle, "b.svg"}});
            }),
            "a.svg has 4 vertices and b.svg has 3: the shapes of an animated mask need the same "
            "vertex count");
  EXPECT_EQ(
      ErrorOf([&] {
        qfhost::OrderMaskKeys({{0.0, Square(10), "a.svg"}, {1.0, Square(10, false), "b.svg"}});
      }),
      "a.svg and b.svg differ in being closed: the shapes of an animated mask are all closed or "
      "all open");
  EXPECT_EQ(ErrorOf([&] {
              qfhost::OrderMaskKeys({{0.5, Square(10), "a.svg"}, {0.5, Square(20), "b.svg"}});
            }),
            "a.svg and b.svg are both keyed at 0.5 s");
  EXPECT_EQ(ErrorOf([&] { qfhost::OrderMaskKeys({}); }), "a mask needs at least one shape");
}

TEST(FrameRanges, RangesFromAToB) {
  const qfhost::FrameRange r = qfhost::ParseFrameRange("0-47");
  EXPECT_EQ(r.first, 0);
  EXPECT_EQ(r.last, 47);
  EXPECT_EQ(r.count(), 48);
  EXPECT_EQ(qfhost::ParseFrameRange("3-3").count(), 1);
  EXPECT_EQ(ErrorOf([] { qfhost::ParseFrameRange("9-4"); }),
            "--frames: the range 9-4 ends before it begins (B must be at least A)");
  for (const char* bad : {"5", "-1-3", "1--3", "a-b", "1-", "-", "1.5-3", "1-+3"})
    EXPECT_NE(ErrorOf([&] { qfhost::ParseFrameRange(bad); }).find("is not a range A-B"),
              std::string::npos)
        << bad;
}

TEST(FrameRanges, OutputPatternsTakeTheFrameNumber) {
  EXPECT_EQ(qfhost::OutputPattern("grow_%04d.png").FileFor(7), "grow_0007.png");
  EXPECT_EQ(qfhost::OutputPattern("grow_%04d.png").FileFor(123456), "grow_123456.png");
  EXPECT_EQ(qfhost::OutputPattern("f%d.png").FileFor(12), "f12.png");
  EXPECT_EQ(qfhost::OutputPattern("100%%/f_%03d.png").FileFor(5), "100%/f_005.png");
  const qfhost::OutputPattern plain("still.png");
  EXPECT_FALSE(plain.has_field());
  EXPECT_EQ(plain.FileFor(9), "still.png");
  EXPECT_TRUE(qfhost::OutputPattern("%d").has_field());
  for (const char* bad : {"f_%s.png", "f_%4d.png", "f_%0d.png", "50%.png", "f_%"})
    EXPECT_NE(ErrorOf([&] { qfhost::OutputPattern{bad}; }).find("no number field"),
              std::string::npos)
        << bad;
  EXPECT_EQ(ErrorOf([] { qfhost::OutputPattern("%d_%04d.png"); }),
            "-o: '%d_%04d.png' has more than one number field");
}

TEST(FrameRanges, ProgressShowsRateAndTimeLeft) {
  EXPECT_EQ(qfhost::ProgressText(12, 5, 10, 2.0, 10),
            "frame 12  5/10  [#####.....]  2.50 fps  0:02 left");
  EXPECT_EQ(qfhost::ProgressText(3, 1, 48, 0.5, 0), "frame 3  1/48  2.00 fps  0:24 left");
  EXPECT_EQ(qfhost::ProgressText(0, 1, 100000, 0.1, 0),
            "frame 0  1/100000  10.0 fps  2:46:40 left");
  EXPECT_EQ(qfhost::ProgressText(0, 0, 4, 0.0, 4), "frame 0  0/4  [....]  -- fps  --:-- left");
}

}  // namespace

// Parameter values as a person types them, for every kind of parameter, and
// the look-up of parameters by name in a real parameter list.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "host_error_of.h"
#include "qf_host/deliverable.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/param_values.h"

namespace {

using qfhost::HostError;
using qfhost::LayerSize;
using qfhost::SetParamValue;

const LayerSize kLayer{400, 200};

PF_ParamDef Named(PF_ParamType type, const char* name) {
  PF_ParamDef def{};
  def.param_type = type;
  std::strcpy(def.name, name);
  return def;
}

using qfhost_test::ErrorOf;

// The message of setting `text` on a copy of def.
std::string Refusal(PF_ParamDef def, const std::string& text) {
  return ErrorOf([&] { SetParamValue(def, text, kLayer); });
}

TEST(ParamValue, WholeNumberSliders) {
  PF_ParamDef d = Named(PF_Param_SLIDER, "Max iterations");
  d.u.sd.valid_min = 1;
  d.u.sd.valid_max = 100;
  SetParamValue(d, " 42 ", kLayer);
  EXPECT_EQ(d.u.sd.value, 42);
  SetParamValue(d, "+100", kLayer);
  EXPECT_EQ(d.u.sd.value, 100);
  EXPECT_EQ(Refusal(d, "0"), "Max iterations: 0 is outside the valid range 1 to 100");
  EXPECT_EQ(Refusal(d, "2.5"), "Max iterations: '2.5' is not a whole number");
  EXPECT_EQ(Refusal(d, "99999999999999999999"),
            "Max iterations: '99999999999999999999' is not a whole number");
  EXPECT_EQ(Refusal(d, ""), "Max iterations: '' is not a whole number");
}

TEST(ParamValue, FixedSlidersInSixteenSixteen) {
  PF_ParamDef d = Named(PF_Param_FIX_SLIDER, "Width");
  d.u.fd.valid_min = 0;
  d.u.fd.valid_max = 10 << 16;
  SetParamValue(d, "0.35", kLayer);
  EXPECT_EQ(d.u.fd.value, 22938);
  SetParamValue(d, "1e1", kLayer);
  EXPECT_EQ(d.u.fd.value, 10 << 16);
  EXPECT_EQ(Refusal(d, "10.001"), "Width: 10.001 is outside the valid range 0 to 10");
  EXPECT_EQ(Refusal(d, "-0.5"), "Width: -0.5 is outside the valid range 0 to 10");
  for (const char* bad : {"inf", "nan", "0x10", "1,5", "one", "."})
    EXPECT_EQ(Refusal(d, bad), std::string("Width: '") + bad + "' is not a number") << bad;

  d.u.fd.valid_min = -(1000 << 16);
  d.u.fd.valid_max = 1000 << 16;
  EXPECT_EQ(Refusal(d, "-1000.5"), "Width: -1000.5 is outside the valid range -1000 to 1000");
  EXPECT_EQ(Refusal(d, "40000"), "Width: 40000 is beyond the largest value, 32767.99998");
  EXPECT_EQ(Refusal(d, "-40000"), "Width: -40000 is beyond the smallest value, -32768");
  EXPECT_EQ(Refusal(d, "-32768.00001"), "Width: -32768.00001 is beyond the smallest value, -32768");
}

TEST(ParamValue, AnglesInDegrees) {
  PF_ParamDef d = Named(PF_Param_ANGLE, "Rotate UV");
  SetParamValue(d, "-30", kLayer);  // declared without a range: any angle
  EXPECT_EQ(d.u.ad.value, -30 * 65536);
  SetParamValue(d, "720.5", kLayer);
  EXPECT_EQ(d.u.ad.value, 720 * 65536 + 32768);
  d.u.ad.valid_min = 0;
  d.u.ad.valid_max = 360 << 16;
  EXPECT_EQ(Refusal(d, "-30"), "Rotate UV: -30 is outside the valid range 0 to 360");
  EXPECT_EQ(Refusal(d, "30deg"), "Rotate UV: '30deg' is not a number of degrees");
}

TEST(ParamValue, CheckboxesColoursAndPopups) {
  PF_ParamDef box = Named(PF_Param_CHECKBOX, "Glass");
  for (const char* on : {"on", "ON", "true", "yes", "1"}) {
    box.u.bd.value = 0;
    SetParamValue(box, on, kLayer);
    EXPECT_EQ(box.u.bd.value, 1) << on;
  }
  for (const char* off : {"off", "False", "no", "0"}) {
    box.u.bd.value = 1;
    SetParamValue(box, off, kLayer);
    EXPECT_EQ(box.u.bd.value, 0) << off;
  }
  EXPECT_EQ(Refusal(box, "maybe"), "Glass: 'maybe' is not on or off");

  PF_ParamDef colour = Named(PF_Param_COLOR, "Diffuse");
  colour.u.cd.value.alpha = 7;
  SetParamValue(colour, "#FFd080", kLayer);
  EXPECT_EQ(colour.u.cd.value.red, 255);
  EXPECT_EQ(colour.u.cd.value.green, 0xd0);
  EXPECT_EQ(colour.u.cd.value.blue, 0x80);
  EXPECT_EQ(colour.u.cd.value.alpha, 7);  // as declared
  for (const char* bad : {"#fff", "ffd080", "#ffd08g", "#ffd0800"})
    EXPECT_EQ(Refusal(colour, bad), std::string("Diffuse: '") + bad + "' is not a colour #rrggbb");

  // Eight choices of which seven are named: the last is reached by number.
  PF_ParamDef popup = Named(PF_Param_POPUP, "Mask kind");
  popup.u.pd.num_choices = 8;
  popup.u.pd.namesptr = "Bottom|Top|Top and bottom|Perimeter|U-like|Window|Custom path";
  SetParamValue(popup, "custom PATH", kLayer);
  EXPECT_EQ(popup.u.pd.value, 7);
  SetParamValue(popup, "Top", kLayer);
  EXPECT_EQ(popup.u.pd.value, 2);
  SetParamValue(popup, "8", kLayer);
  EXPECT_EQ(popup.u.pd.value, 8);
  EXPECT_EQ(Refusal(popup, "9"),
            "Mask kind: no choice '9' (Bottom, Top, Top and bottom, Perimeter, U-like, Window, "
            "Custom path, or a "
            "number 1 to 8)");
  EXPECT_NE(Refusal(popup, "Side").find("no choice 'Side'"), std::string::npos);
}

TEST(ParamValue, UndeclaredPopupNumbersOnlyWhenAllowed) {
  PF_ParamDef popup = Named(PF_Param_POPUP, "Render mode");
  popup.u.pd.num_choices = 5;
  popup.u.pd.namesptr = "Rough|Line|Wire|Flat|Phong";
  EXPECT_EQ(Refusal(popup, "6"),
            "Render mode: no choice '6' (Rough, Line, Wire, Flat, Phong, or a number 1 to 5)");
  // Allowed, every number up to 255 passes as it is, and names still count.
  for (const auto& [text, value] :
       {std::pair<const char*, int>{"6", 6}, {"7", 7}, {"255", 255}, {"wire", 3}, {" 1 ", 1}}) {
    SetParamValue(popup, text, kLayer, true);
    EXPECT_EQ(popup.u.pd.value, value) << text;
  }
  for (const char* bad : {"0", "256", "-1", "6.0", "Sculpt"})
    EXPECT_EQ(ErrorOf([&] { SetParamValue(popup, bad, kLayer, true); }),
              std::string("Render mode: no choice '") + bad +
                  "' (Rough, Line, Wire, Flat, Phong, or a number 1 to 255)");
  // Keys follow the same rule.
  const qfhost::ParamTrack track =
      qfhost::ParseParamTrack(popup, "2@0,7@10", kLayer, qfhost::FrameRate{}, true);
  ASSERT_EQ(track.size(), 2u);
  EXPECT_EQ(track[1].def.u.pd.value, 7);
  EXPECT_NE(ErrorOf([&] {
              qfhost::ParseParamTrack(popup, "2@0,7@10", kLayer, qfhost::FrameRate{});
            }).find("no choice '7'"),
            std::string::npos);
}

TEST(ParamValue, PointsInPixelsOrPercent) {
  PF_ParamDef d = Named(PF_Param_POINT, "Position");
  SetParamValue(d, "10.5, 20", kLayer);
  EXPECT_EQ(d.u.td.x_value, 10 * 65536 + 32768);
  EXPECT_EQ(d.u.td.y_value, 20 * 65536);
  SetParamValue(d, "25%,50%", kLayer);
  EXPECT_EQ(d.u.td.x_value, 100 * 65536);
  EXPECT_EQ(d.u.td.y_value, 100 * 65536);
  SetParamValue(d, "-10%,7", kLayer);  // each coordinate on its own
  EXPECT_EQ(d.u.td.x_value, -40 * 65536);
  EXPECT_EQ(d.u.td.y_value, 7 * 65536);
  EXPECT_EQ(Refusal(d, "10"), "Position: '10' is not a point x,y (pixels) or x%,y%");
  EXPECT_EQ(Refusal(d, "1,2,3"), "Position: '1,2,3' is not a point x,y (pixels) or x%,y%");
  EXPECT_EQ(Refusal(d, "1,%"), "Position: '%' is not a number of pixels or a percentage");
  EXPECT_EQ(Refusal(d, "-40000,5"),
            "Position: -40000 lies beyond the smallest position, -32768 pixels");
  EXPECT_EQ(Refusal(d, "5,9000000%"),
            "Position: 9000000% lies beyond the largest position, 32767.99998 pixels");
  d.u.td.restrict_bounds = 1;
  EXPECT_EQ(Refusal(d, "401,0"), "Position: 401 lies outside the layer (0 to 400 pixels)");
  EXPECT_NO_THROW(SetParamValue(d, "400,200", kLayer));
}

TEST(ParamValue, KindsWithoutATypedValue) {
  EXPECT_NE(Refusal(Named(PF_Param_LAYER, "Texture reflection"), "x.png").find("--reflection"),
            std::string::npos);
  EXPECT_NE(Refusal(Named(PF_Param_PATH, "Path of custom contour"), "1").find("--mask"),
            std::string::npos);
  EXPECT_EQ(Refusal(Named(PF_Param_GROUP_START, "Material"), "1"),
            "Material: a group_start parameter takes no value");
  EXPECT_EQ(Refusal(Named(PF_Param_NO_DATA, "Information"), "1"),
            "Information: a no_data parameter takes no value");
}

TEST(ParamValue, DefaultsComeFromTheDeclaration) {
  PF_ParamDef point = Named(PF_Param_POINT, "Position");
  point.u.td.x_dephault = 50 << 16;  // percent
  point.u.td.y_dephault = 25 << 16;
  qfhost::SetDefaultValue(point, LayerSize{301, 200});
  EXPECT_EQ(point.u.td.x_value, 150 * 65536 + 32768);  // 150.5 pixels
  EXPECT_EQ(point.u.td.y_value, 50 * 65536);

  PF_ParamDef slider = Named(PF_Param_FIX_SLIDER, "Width");
  slider.u.fd.dephault = 22938;
  slider.u.fd.value = 1;
  qfhost::SetDefaultValue(slider, kLayer);
  EXPECT_EQ(slider.u.fd.value, 22938);

  PF_ParamDef path = Named(PF_Param_PATH, "Path");
  path.u.path_d.path_id = 1005;
  qfhost::SetDefaultValue(path, kLayer);
  EXPECT_EQ(path.u.path_d.path_id, 0u);

  // Every other kind with a value takes its default, each from its own member.
  PF_ParamDef whole = Named(PF_Param_SLIDER, "Seed");
  whole.u.sd.dephault = 7;
  PF_ParamDef angle = Named(PF_Param_ANGLE, "Rotate UV");
  angle.u.ad.dephault = -30 * 65536;
  PF_ParamDef box = Named(PF_Param_CHECKBOX, "Glass");
  box.u.bd.dephault = 1;
  PF_ParamDef colour = Named(PF_Param_COLOR, "Diffuse");
  colour.u.cd.dephault = {9, 192, 128, 64};
  PF_ParamDef popup = Named(PF_Param_POPUP, "Mask kind");
  popup.u.pd.dephault = 3;
  for (PF_ParamDef* def : {&whole, &angle, &box, &colour, &popup}) {
    def->u.cd.value = {1, 2, 3, 4};  // a stale value in the first bytes of every member
    qfhost::SetDefaultValue(*def, kLayer);
  }
  EXPECT_EQ(whole.u.sd.value, 7);
  EXPECT_EQ(angle.u.ad.value, -30 * 65536);
  EXPECT_EQ(box.u.bd.value, 1);
  EXPECT_EQ(std::memcmp(&colour.u.cd.value, &colour.u.cd.dephault, sizeof(PF_Pixel)), 0);
  EXPECT_EQ(popup.u.pd.value, 3);

  // A layer has no value: its record stays as it is.
  PF_ParamDef layer = Named(PF_Param_LAYER, "Texture reflection");
  layer.u.ld.width = 12;
  qfhost::SetDefaultValue(layer, kLayer);
  EXPECT_EQ(layer.u.ld.width, 12);
}

TEST(ParamSetting, SplitsAtTheFirstEquals) {
  const qfhost::ParamSetting s = qfhost::ParseSetting(" Mask kind =a=b");
  EXPECT_EQ(s.name, "Mask kind");
  EXPECT_EQ(s.value, "a=b");
  EXPECT_EQ(ErrorOf([] { qfhost::ParseSetting("Width"); }), "setting 'Width' is not NAME=VALUE");
  EXPECT_EQ(ErrorOf([] { qfhost::ParseSetting(" =3"); }), "setting ' =3' names no parameter");
}

// The Floral list, as the deliverable declares it.
class FloralParams : public ::testing::Test {
 protected:
  FloralParams() : effect_(host_, qfhost::Deliverable::Load(QF_FLORAL_PATH)) {
    EXPECT_EQ(effect_.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(effect_.ParamsSetup(), PF_Err_NONE);
  }
  qfhost::HostSession host_;
  qfhost::LoadedEffect effect_;
};

TEST_F(FloralParams, NamesFoundExactlyOrIgnoringCase) {
  EXPECT_EQ(qfhost::FindParam(effect_, "Width"), 7);
  EXPECT_EQ(qfhost::FindParam(effect_, "transparancy"), 30);
  EXPECT_EQ(qfhost::FindParam(effect_, "  Cut alpha "), 46);
  EXPECT_EQ(ErrorOf([&] { qfhost::FindParam(effect_, "Widht"); }),
            "unknown parameter 'Widht' (closest: \"Width\", \"Light\", \"Length\")");
  EXPECT_NE(ErrorOf([&] {
              qfhost::FindParam(effect_, "Transparency");
            }).find("closest: \"Transparancy\""),
            std::string::npos);
  // Group ends have no name and are never matched.
  EXPECT_NE(ErrorOf([&] { qfhost::FindParam(effect_, ""); }).find("unknown parameter ''"),
            std::string::npos);
}

TEST_F(FloralParams, SettingsApplyOverTheDefaults) {
  effect_.mutable_param(7).u.fd.value = 0;  // a stale value is reset to the default
  qfhost::ApplyParamValues(effect_,
                           {{"Render mode", "Flat"},
                            {"Diffuse", "#102030"},
                            {"Position", "10%,75%"},
                            {"Render mode", "2"}},
                           LayerSize{640, 360});
  EXPECT_EQ(effect_.param(7).def.u.fd.value, 22938);
  EXPECT_EQ(effect_.param(2).def.u.pd.value, 2);  // the later setting wins
  EXPECT_EQ(effect_.param(25).def.u.cd.value.blue, 0x30);
  EXPECT_EQ(effect_.param(22).def.u.td.x_value, 64 * 65536);
  EXPECT_EQ(effect_.param(22).def.u.td.y_value, 270 * 65536);
  EXPECT_EQ(effect_.param(31).def.u.bd.value, 1);

  qfhost::ApplyParamValues(effect_, {}, LayerSize{640, 360});
  EXPECT_EQ(effect_.param(2).def.u.pd.value, 5);
  EXPECT_EQ(effect_.param(22).def.u.td.x_value, 320 * 65536);  // the centre
  EXPECT_EQ(effect_.param(22).def.u.td.y_value, 180 * 65536);
  EXPECT_THROW(qfhost::ApplyParamValues(effect_, {{"Length", "1001"}}, LayerSize{640, 360}),
               HostError);

  // "Render mode" 7 is named by no choice: it reaches the parameter only when allowed.
  EXPECT_THROW(qfhost::ApplyParamValues(effect_, {{"Render mode", "7"}}, LayerSize{640, 360}),
               HostError);
  qfhost::ApplyParamValues(effect_, {{"Render mode", "7"}}, LayerSize{640, 360},
                           qfhost::FrameRate{}, true);
  EXPECT_EQ(effect_.param(2).def.u.pd.value, 7);
}

}  // namespace

#include "effect_frames.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "qf_host/deliverable.h"
#include "qf_host/image.h"
#include "qf_host/param_values.h"
#include "qf_host/png_io.h"

namespace frames {

namespace {

using qfhost::HostSession;
using qfhost::HostWorld;

// Every complaint the host recorded since the last check fails the test.
void ExpectNoHostErrors(HostSession& host, const char* during) {
  for (const std::string& e : host.errors())
    ADD_FAILURE() << "host error during " << during << ": " << e;
  host.ClearErrors();
}

}  // namespace

HostWorld SourceOf(const FrameRequest& request) {
  return qfhost::WorldFromImage(qfhost::BuiltInSource(request.width, request.height), request.deep);
}

EffectInstance::EffectInstance(const char* deliverable)
    : effect_(host_, qfhost::Deliverable::Load(deliverable)) {
  EXPECT_EQ(effect_.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(effect_.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(effect_.SequenceSetup(), PF_Err_NONE);
  ExpectNoHostErrors(host_, "set-up");
}

EffectInstance::~EffectInstance() {
  EXPECT_EQ(effect_.SequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(effect_.GlobalSetdown(), PF_Err_NONE);
  ExpectNoHostErrors(host_, "set-down");
  EXPECT_TRUE(host_.UnreleasedSuites().empty());
  EXPECT_EQ(host_.live_handle_count(), 0u);
}

HostWorld EffectInstance::Render(const FrameRequest& request) {
  std::vector<qfhost::ParamSetting> settings;
  for (const std::string& s : request.settings) settings.push_back(qfhost::ParseSetting(s));
  qfhost::ApplyParamValues(effect_, settings, {request.width, request.height});
  for (const auto& [name, value] : request.popups)
    effect_.mutable_param(qfhost::FindParam(effect_, name)).u.pd.value = value;

  const HostWorld source = SourceOf(request);
  effect_.SetLayer(0, &source);
  effect_.SetLayer(qfhost::FindParam(effect_, "Texture reflection"), request.reflection);
  if (request.mask) {
    effect_.mutable_param(qfhost::FindParam(effect_, "Path of custom contour")).u.path_d.path_id =
        effect_.AddMask(*request.mask, false);
  }

  HostWorld output(request.width, request.height, request.deep);
  EXPECT_EQ(effect_.Render(output, qfhost::FrameTime{}, request.quality), PF_Err_NONE);
  ExpectNoHostErrors(host_, "render");
  // The layers are the caller's and this call's: the instance keeps none.
  effect_.SetLayer(0, nullptr);
  effect_.SetLayer(qfhost::FindParam(effect_, "Texture reflection"), nullptr);
  return output;
}

HostWorld RenderFrame(const FrameRequest& request, const char* deliverable) {
  EffectInstance instance(deliverable);
  return instance.Render(request);
}

uint64_t PixelHash(const HostWorld& world) {
  uint64_t h = 1469598103934665603ull;
  auto add = [&h](unsigned byte) { h = (h ^ byte) * 1099511628211ull; };
  for (int y = 0; y < world.height(); ++y)
    for (int x = 0; x < world.width(); ++x)
      for (int c = 0; c < 4; ++c) {
        const uint16_t v = world.channel(x, y, c);
        add(v & 0xFF);
        if (world.deep()) add(v >> 8);
      }
  return h;
}

bool SamePixel(const HostWorld& a, const HostWorld& b, int x, int y) {
  for (int c = 0; c < 4; ++c)
    if (a.channel(x, y, c) != b.channel(x, y, c)) return false;
  return true;
}

long DifferingPixels(const HostWorld& a, const HostWorld& b) {
  long n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += !SamePixel(a, b, x, y);
  return n;
}

int LevelsApart(const HostWorld& w8, const HostWorld& w16, int x, int y, int c) {
  const long v8 = w8.channel(x, y, c), v16 = w16.channel(x, y, c);
  const long d = std::labs(v8 * 32768 - v16 * 255);
  return static_cast<int>((d + 32767) / 32768);
}

DepthsApart ApartAtTheTwoDepths(FrameRequest request, const char* deliverable) {
  request.deep = false;
  const HostWorld frame8 = RenderFrame(request, deliverable);
  request.deep = true;
  const HostWorld frame16 = RenderFrame(request, deliverable);
  DepthsApart apart;
  long total = 0;
  for (int y = 0; y < request.height; ++y)
    for (int x = 0; x < request.width; ++x)
      for (int c = 0; c < 4; ++c) {
        const int levels = LevelsApart(frame8, frame16, x, y, c);
        apart.largest = std::max(apart.largest, levels);
        total += levels;
      }
  apart.mean = static_cast<double>(total) / (4.0 * request.width * request.height);
  return apart;
}

ReliefApart DefaultFrameApartAtTheTwoDepths(const char* deliverable, const std::string& what) {
  FrameRequest request;
  ReliefApart apart;
  apart.with_relief = ApartAtTheTwoDepths(request, deliverable);
  request.settings = {"Bump percent=0"};
  apart.without_relief = ApartAtTheTwoDepths(request, deliverable);
  std::printf(
      "16-bit against 8-bit %s: largest %d, mean %.4f levels "
      "(without relief: largest %d, mean %.4f)\n",
      what.c_str(), apart.with_relief.largest, apart.with_relief.mean, apart.without_relief.largest,
      apart.without_relief.mean);
  return apart;
}

std::string SaveForInspection(const HostWorld& world, const std::string& name) {
  const std::string path =
      ::testing::TempDir() + "qf_frames_" + std::to_string(getpid()) + "_" + name + ".png";
  qfhost::WritePng(path, qfhost::ImageFromWorld(world));
  return path;
}

}  // namespace frames

// Frames of the Floral and Geometry deliverables rendered as a host renders
// them: the real module loaded through the host library, global, parameter and sequence
// set-up, parameters set by name, the frame rendered over the host's built-in
// picture, and the host's own checks after every command.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"
#include "qf_host/mask.h"
#include "qf_host/world.h"

namespace frames {

struct FrameRequest {
  int width = 320;
  int height = 180;
  bool deep = false;
  std::vector<std::string> settings;  // "NAME=VALUE", as qf-host --set takes them
  // Popup values set as they stand after the settings, as a host may deliver
  // them: also values the popup names no choice for.
  std::vector<std::pair<std::string, A_long>> popups;
  std::optional<qfhost::MaskPath> mask;  // a mask on the source, chosen in "Path of custom contour"
  const qfhost::HostWorld* reflection = nullptr;  // the "Texture reflection" layer, or none
  A_long quality = PF_Quality_HI;
};

// The built-in picture a requested frame is rendered over, at its size and depth.
qfhost::HostWorld SourceOf(const FrameRequest& request);

// The deliverables under test.
constexpr const char* kFloral = QF_FLORAL_PATH;
constexpr const char* kGeometry = QF_GEOMETRY_PATH;

// One instance of a deliverable's effect in a session of its own, set up to its
// sequence. Renders report every failure and host complaint to the running
// test; the destructor sets the instance down and checks that nothing the
// host handed out is still held.
class EffectInstance {
 public:
  explicit EffectInstance(const char* deliverable = kFloral);
  ~EffectInstance();
  EffectInstance(const EffectInstance&) = delete;
  EffectInstance& operator=(const EffectInstance&) = delete;

  qfhost::HostWorld Render(const FrameRequest& request);

 private:
  qfhost::HostSession host_;
  qfhost::LoadedEffect effect_;
};

// A frame rendered by an instance of its own.
qfhost::HostWorld RenderFrame(const FrameRequest& request, const char* deliverable = kFloral);

// FNV-1a (64 bits) of the world's pixels in host order, row by row, the
// padding left out: one byte a channel in 8-bit worlds, two (low byte first)
// in 16-bit worlds.
uint64_t PixelHash(const qfhost::HostWorld& world);

// Whether all four channels of pixel (x, y) are the same in both worlds.
bool SamePixel(const qfhost::HostWorld& a, const qfhost::HostWorld& b, int x, int y);

// Pixels that differ between two worlds of one size.
long DifferingPixels(const qfhost::HostWorld& a, const qfhost::HostWorld& b);

// Channel c of pixel (x, y) of an 8-bit and a 16-bit world, compared in 8-bit
// levels: |v8 - v16 * 255 / 32768|, rounded up.
int LevelsApart(const qfhost::HostWorld& w8, const qfhost::HostWorld& w16, int x, int y, int c);

// 8-bit levels apart, channel by channel, of the 8- and 16-bit renders of a
// request: the largest and the mean.
struct DepthsApart {
  int largest = 0;
  double mean = 0;
};
DepthsApart ApartAtTheTwoDepths(FrameRequest request, const char* deliverable = kFloral);

// The default frame's depths apart with its relief and without it ("Bump
// percent" 0), also printed on a line that names `what`.
struct ReliefApart {
  DepthsApart with_relief;
  DepthsApart without_relief;
};
ReliefApart DefaultFrameApartAtTheTwoDepths(const char* deliverable, const std::string& what);

// Writes the world to a PNG in the test's temporary folder and returns its
// path, for a person to look at when a frame is not what a test expected.
std::string SaveForInspection(const qfhost::HostWorld& world, const std::string& name);

}  // namespace frames

#include "qf_host/animation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "qf_host/host_error.h"
#include "value_member.h"

namespace qfhost {
namespace {

// Where `seconds` falls among keys in time order: between keys *from and
// *from + 1 at `fraction` (0 up to 1), or on one key with fraction 0.
template <typename Key>
size_t Locate(const std::vector<Key>& keys, double seconds, double* fraction) {
  *fraction = 0;
  if (seconds <= keys.front().seconds) return 0;
  if (seconds >= keys.back().seconds) return keys.size() - 1;
  size_t k = 0;
  while (keys[k + 1].seconds <= seconds) ++k;
  *fraction = (seconds - keys[k].seconds) / (keys[k + 1].seconds - keys[k].seconds);
  return k;
}

template <typename T>
T Between(T a, T b, double f) {
  return static_cast<T>(std::llround(static_cast<double>(a) + (static_cast<double>(b) - a) * f));
}

double Between(double a, double b, double f) { return a + (b - a) * f; }

PF_Pixel Between(const PF_Pixel& a, const PF_Pixel& b, double f) {
  return {Between(a.alpha, b.alpha, f), Between(a.red, b.red, f), Between(a.green, b.green, f),
          Between(a.blue, b.blue, f)};
}

std::string SecondsText(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g s", seconds);
  return buf;
}

std::string Source(const MaskKey& key) {
  return key.source.empty() ? "the mask at " + SecondsText(key.seconds) : key.source;
}

}  // namespace

bool IsAnimatable(PF_ParamType type) {
  return type == PF_Param_POINT || WithValueMember(type, [](auto) {});
}

void SetValueAt(const ParamTrack& track, double seconds, PF_ParamDef& def) {
  double f = 0;
  const size_t k = Locate(track, seconds, &f);
  const PF_ParamDefUnion& a = track[k].def.u;
  // On a key, or past the last, the next key is the same one.
  const PF_ParamDefUnion& b = track[std::min(k + 1, track.size() - 1)].def.u;
  PF_ParamDefUnion& u = def.u;
  if (def.param_type == PF_Param_POINT) {
    u.td.x_value = Between(a.td.x_value, b.td.x_value, f);
    u.td.y_value = Between(a.td.y_value, b.td.y_value, f);
    return;
  }
  // Popups and checkboxes are stepped: the key before holds until the next.
  const bool stepped = def.param_type == PF_Param_CHECKBOX || def.param_type == PF_Param_POPUP;
  WithValueMember(def.param_type, [&](auto member) {
    const auto& from = (a.*member).value;
    (u.*member).value = stepped ? from : Between(from, (b.*member).value, f);
  });
}

std::vector<MaskKey> OrderMaskKeys(std::vector<MaskKey> keys) {
  if (keys.empty()) throw HostError("a mask needs at least one shape");
  std::stable_sort(keys.begin(), keys.end(),
                   [](const MaskKey& a, const MaskKey& b) { return a.seconds < b.seconds; });
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].path.vertices.empty())
      throw HostError(Source(keys[i]) + ": a mask needs at least one vertex");
    if (i == 0) continue;
    const MaskKey& a = keys[i - 1];
    const MaskKey& b = keys[i];
    if (a.seconds == b.seconds)
      throw HostError(Source(a) + " and " + Source(b) + " are both keyed at " +
                      SecondsText(a.seconds));
    if (a.path.vertices.size() != b.path.vertices.size())
      throw HostError(Source(a) + " has " + std::to_string(a.path.vertices.size()) +
                      " vertices and " + Source(b) + " has " +
                      std::to_string(b.path.vertices.size()) +
                      ": the shapes of an animated mask need the same vertex count");
    if (a.path.closed != b.path.closed)
      throw HostError(
          Source(a) + " and " + Source(b) +
          " differ in being closed: the shapes of an animated mask are all closed or all open");
  }
  return keys;
}

MaskPath MaskAt(const std::vector<MaskKey>& keys, double seconds) {
  double f = 0;
  const size_t k = Locate(keys, seconds, &f);
  MaskPath path = keys[k].path;
  if (f == 0) return path;
  const MaskPath& next = keys[k + 1].path;
  for (size_t i = 0; i < path.vertices.size(); ++i) {
    MaskVertex& v = path.vertices[i];
    const MaskVertex& w = next.vertices[i];
    v = MaskVertex{Between(v.x, w.x, f),         Between(v.y, w.y, f),
                   Between(v.in_x, w.in_x, f),   Between(v.in_y, w.in_y, f),
                   Between(v.out_x, w.out_x, f), Between(v.out_y, w.out_y, f)};
  }
  return path;
}

}  // namespace qfhost

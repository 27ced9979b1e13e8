// Keyframed values, as the host animates an effect over time. A parameter's
// keys each hold the whole definition with the value at one time; a mask's
// keys each hold its shape at one time. Between two keys numbers, angles,
// colours, points and mask vertices move linearly, while popups and
// checkboxes hold each key's value until the next key. Before the first key
// its value holds, after the last key the last value.
#pragma once

#include <string>
#include <vector>

#include "AE_Effect.h"
#include "qf_host/mask.h"

namespace qfhost {

struct ParamKey {
  double seconds = 0;
  PF_ParamDef def{};
};
// In time order, no two keys at one time.
using ParamTrack = std::vector<ParamKey>;

// Whether parameters of this kind take keyframes: sliders, fixed sliders,
// angles, checkboxes, colours, points and popups.
bool IsAnimatable(PF_ParamType type);

// Sets the value of `def` (only its value: name, ranges and flags stay) to the
// track's value at `seconds`. The track holds at least one key of def's kind.
void SetValueAt(const ParamTrack& track, double seconds, PF_ParamDef& def);

struct MaskKey {
  double seconds = 0;
  MaskPath path;
  std::string source;  // where the shape came from, for messages (a file name)
};

// The keys in time order. Throws HostError for no key, two keys at one time,
// or keys that differ in their vertex count or in being closed.
std::vector<MaskKey> OrderMaskKeys(std::vector<MaskKey> keys);

// The mask's shape at `seconds`; keys as OrderMaskKeys gives them.
MaskPath MaskAt(const std::vector<MaskKey>& keys, double seconds);

}  // namespace qfhost

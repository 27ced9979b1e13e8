// The reference frames: small fixed frames of both deliverables and the pixel
// hashes each build keeps of them (frames::PixelHash).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "effect_frames.h"

namespace frames {

struct Reference {
  const char* name;
  bool deep;
  std::vector<std::string> settings;
  const char* mask;       // SVG path data of a mask on the source, or null
  A_long render_mode;     // a "Render mode" value set as it stands, or 0 for none
  uint64_t hash;          // the native build's
  uint64_t windows_hash;  // the Windows build's: its C runtime's rand and math grow other patterns
  const char* deliverable = frames::kFloral;
};
inline void PrintTo(const Reference& r, std::ostream* os) { *os << r.name; }

// An arch from the lower left to the lower right corner, in 320 x 180 pixels.
constexpr const char* kArch = "M 30 150 C 90 40 230 40 290 150";

// The rows keep one frame a line.
// clang-format off
inline const std::vector<Reference> kFloralReferences{
    Reference{"Default8", false, {}, nullptr, 0, 0x61b6e64d99b77393ull, 0xd0fe01bbfa45d8a9ull},
    Reference{"Default16", true, {}, nullptr, 0, 0x0dcb0c75feb72e77ull, 0x3d5a54ae32bfb614ull},
    Reference{"MaskTop", false, {"Mask kind=Top"}, nullptr, 0, 0x2dcaced1de267253ull, 0x2f774ab9ecded410ull},
    Reference{"MaskPerimeter16", true, {"Mask kind=Perimeter"}, nullptr, 0, 0x5a0fee5e13b3d9e1ull, 0xf039331d98398340ull},
    Reference{"CustomPath", false, {"Mask kind=Custom path"}, kArch, 0, 0x22b795f5799eed77ull, 0x1c6e6ba6be2fe89dull},
    Reference{"Rough", false, {"Render mode=Rough"}, nullptr, 0, 0x42d6aa10b5feb8a7ull, 0xb901b2c361a5107bull},
    Reference{"Line", false, {"Render mode=Line"}, nullptr, 0, 0x952b5f20abd68709ull, 0x730f4eb33f54fd77ull},
    Reference{"Flat", false, {"Render mode=Flat"}, nullptr, 0, 0x38407986b6f2529full, 0x7776f5233f4cf592ull},
    Reference{"Wire", false, {"Render mode=Wire"}, nullptr, 0, 0xb4f8eb97088e7ff7ull, 0xd7038d21920af65dull},
    // Values 6 and 7, which the popup does not name: the subdivided and the curved surface.
    Reference{"Subdivided", false, {}, nullptr, 6, 0x307ea6c8eab3906dull, 0xe2fa2b759b8260a3ull},
    Reference{"Curved", false, {}, nullptr, 7, 0x88bfa33684ed4df4ull, 0x1fa9043694472534ull}};

inline const std::vector<Reference> kGeometryReferences{
    Reference{"Default8", false, {}, nullptr, 0, 0xebc3b90372c90df7ull, 0xfab0bbc5f706e258ull, frames::kGeometry},
    Reference{"CustomFlatKind1_16", true, {"Mask kind=Custom", "Rendering mode=Flat", "QuillFrame kind=Geometric 1"}, kArch, 0, 0x11b4b5ae2ae18b85ull, 0x9b487cc6473abb5dull, frames::kGeometry}};
// clang-format on

}  // namespace frames

// A custom area of the effect panel as the host shows it: the area of one
// parameter, of the size the parameter declares (its ui_width x ui_height),
// placed in the effect window, with the events the host sends for it (draw,
// adjust-cursor, click) and the picture the effect draws into it.
#pragma once

#include <cstdint>
#include <vector>

#include "AE_Effect.h"
#include "qf_host/image.h"

namespace qfhost {

class LoadedEffect;
struct DrawbotImage;

class HostPanel {
 public:
  // Where the area's top left corner sits in the effect window: the events
  // carry effect-window coordinates.
  static constexpr A_long kLeft = 8;
  static constexpr A_long kTop = 42;
  // The panel's own colour, which the area shows where the effect draws nothing.
  static constexpr uint8_t kBackground[3] = {0x2b, 0x2b, 0x2b};

  // The area of parameter `index` of `effect`, whose sequence is set up.
  // Throws HostError for a parameter that declares no area.
  HostPanel(LoadedEffect& effect, PF_ParamIndex index);
  ~HostPanel();
  HostPanel(const HostPanel&) = delete;
  HostPanel& operator=(const HostPanel&) = delete;

  // ---- The events; points are relative to the area ----
  // The whole area is erased to the background and drawn, unless `in_flags`
  // say not to draw.
  PF_Err Draw(A_long in_flags = PF_EI_NONE);
  PF_Err AdjustCursor(int x, int y);
  // The host's cursor move: adjust-cursor, then a draw when the effect
  // invalidated part of the area during it.
  PF_Err MoveCursor(int x, int y);
  // A click hands the effect the point and returns when the effect does,
  // after whatever it runs for the click (a modal dialog too).
  PF_Err Click(int x, int y);

  // The group of the parameter shown collapsed (its flag 0x20) or open.
  void SetCollapsed(bool collapsed);

  // The area as last drawn: opaque, 8 bits.
  const Image& image() const { return image_; }
  int width() const { return image_.width; }
  int height() const { return image_.height; }
  // Where the area sits in the effect window.
  PF_Rect frame() const;

  // What the last event left: its out-flags, and whether the effect marked
  // the parameter's value changed.
  A_long out_flags() const { return out_flags_; }
  bool value_changed() const { return value_changed_; }
  // Every rectangle the effect invalidated, in effect-window coordinates.
  const std::vector<PF_Rect>& invalidated() const { return invalidated_; }
  // Images drawn into the area, over all events.
  int images_drawn() const { return images_drawn_; }

  // ---- What the suites reach ----
  // Only while a draw event runs does the area take drawing.
  bool drawing() const { return drawing_; }
  PF_ContextH context() { return &context_; }
  // Paints `image` with its top left corner at (x, y) in effect-window
  // coordinates (rounded to the nearest pixel), mixed at `opacity` (0 to 1)
  // over what is there; the parts outside the area are cut off.
  void Paint(const DrawbotImage& image, float x, float y, float opacity);
  void Invalidate(const PF_Rect& rect) { invalidated_.push_back(rect); }

 private:
  void Erase();  // to the background, opaque
  PF_EventExtra NewEvent(PF_EventType type) const;
  PF_Err Send(PF_EventExtra& event);

  LoadedEffect& effect_;
  PF_ParamIndex index_;
  PF_Context context_{};
  Image image_;
  bool drawing_ = false;
  A_long out_flags_ = 0;
  bool value_changed_ = false;
  std::vector<PF_Rect> invalidated_;
  int images_drawn_ = 0;
};

}  // namespace qfhost

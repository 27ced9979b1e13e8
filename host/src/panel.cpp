#include "qf_host/panel.h"

#include <cmath>
#include <string>

#include "panel_suites.h"
#include "qf_host/host_error.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {
namespace {

// Recognises a context the host made.
constexpr A_u_long kContextMagic = 0x51465058;  // "QFPX"

uint8_t Mix(uint8_t over, uint8_t under, float opacity) {
  return static_cast<uint8_t>(std::lround(over * opacity + under * (1.0f - opacity)));
}

}  // namespace

HostPanel::HostPanel(LoadedEffect& effect, PF_ParamIndex index) : effect_(effect), index_(index) {
  const PF_ParamDef& def = effect.param(index).def;
  if (def.ui_width < 1 || def.ui_height < 1)
    throw HostError("parameter " + std::to_string(index) + " declares no custom area (" +
                    std::to_string(def.ui_width) + " x " + std::to_string(def.ui_height) + ")");
  image_ = MakeImage("the panel", def.ui_width, def.ui_height, 8);
  Erase();
  context_.magic = kContextMagic;
  context_.w_type = PF_Window_EFFECT;
  effect_.host().panel_suites().AddPanel(&context_, this);
}

HostPanel::~HostPanel() { effect_.host().panel_suites().RemovePanel(&context_); }

PF_Rect HostPanel::frame() const {
  return PF_Rect{kLeft, kTop, kLeft + image_.width, kTop + image_.height};
}

void HostPanel::SetCollapsed(bool collapsed) {
  A_long& flags = effect_.mutable_param(index_).flags;
  flags = collapsed ? flags | PF_ParamFlag_COLLAPSE_TWIRLY : flags & ~PF_ParamFlag_COLLAPSE_TWIRLY;
}

PF_EventExtra HostPanel::NewEvent(PF_EventType type) const {
  PF_EventExtra event{};
  event.contextH = const_cast<PF_Context*>(&context_);
  event.e_type = type;
  event.effect_win.index = index_;
  event.effect_win.area = PF_EA_CONTROL;
  event.effect_win.current_frame = frame();
  return event;
}

PF_Err HostPanel::Send(PF_EventExtra& event) {
  std::vector<A_long> change_flags;
  const PF_Err err = effect_.Event(event, &change_flags);
  out_flags_ = event.evt_out_flags;
  value_changed_ = (change_flags[index_] & PF_ChangeFlag_CHANGED_VALUE) != 0;
  if (const int left = effect_.host().panel_suites().DropImages(this))
    effect_.host().RecordError("event: " + std::to_string(left) +
                               " drawing image(s) never released");
  return err;
}

PF_Err HostPanel::Draw(A_long in_flags) {
  PF_EventExtra event = NewEvent(PF_Event_DRAW);
  event.u.draw.update_rect = frame();
  event.evt_in_flags = in_flags;
  if (in_flags & PF_EI_DONT_DRAW) return Send(event);
  Erase();
  // The area takes drawing while this event runs, however it ends.
  struct Drawing {
    bool& on;
    explicit Drawing(bool& flag) : on(flag) { on = true; }
    ~Drawing() { on = false; }
  } drawing(drawing_);
  return Send(event);
}

void HostPanel::Erase() {
  for (size_t i = 0; i < image_.rgba.size(); i += 4) {
    image_.rgba[i] = kBackground[0];
    image_.rgba[i + 1] = kBackground[1];
    image_.rgba[i + 2] = kBackground[2];
    image_.rgba[i + 3] = 255;
  }
}

PF_Err HostPanel::AdjustCursor(int x, int y) {
  PF_EventExtra event = NewEvent(PF_Event_ADJUST_CURSOR);
  event.u.adjust_cursor.screen_point = PF_Point{kLeft + x, kTop + y};
  return Send(event);
}

PF_Err HostPanel::MoveCursor(int x, int y) {
  const size_t before = invalidated_.size();
  const PF_Err err = AdjustCursor(x, y);
  if (err != PF_Err_NONE) return err;
  const PF_Rect area = frame();
  for (size_t i = before; i < invalidated_.size(); ++i) {
    const PF_Rect& r = invalidated_[i];
    if (r.left < area.right && r.right > area.left && r.top < area.bottom && r.bottom > area.top)
      return Draw();
  }
  return PF_Err_NONE;
}

PF_Err HostPanel::Click(int x, int y) {
  PF_EventExtra event = NewEvent(PF_Event_DO_CLICK);
  event.u.do_click.screen_point = PF_Point{kLeft + x, kTop + y};
  event.u.do_click.num_clicks = 1;
  return Send(event);
}

void HostPanel::Paint(const DrawbotImage& image, float x, float y, float opacity) {
  // NaN counts as fully transparent.
  if (!(opacity > 0.0f)) return;
  if (opacity > 1.0f) opacity = 1.0f;
  ++images_drawn_;
  const double left = std::floor(static_cast<double>(x) + 0.5) - kLeft;
  const double top = std::floor(static_cast<double>(y) + 0.5) - kTop;
  for (int row = 0; row < image.height; ++row) {
    const double py = top + row;
    if (py < 0 || py >= image_.height) continue;
    for (int col = 0; col < image.width; ++col) {
      const double px = left + col;
      if (px < 0 || px >= image_.width) continue;
      const uint8_t* bgr = &image.bgr[(static_cast<size_t>(row) * image.width + col) * 3];
      uint16_t* out = image_.pixel(static_cast<int>(px), static_cast<int>(py));
      for (int c = 0; c < 3; ++c) out[c] = Mix(bgr[2 - c], static_cast<uint8_t>(out[c]), opacity);
    }
  }
}

}  // namespace qfhost

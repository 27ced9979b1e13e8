#include "ui/effect_panel.h"

#include <windows.h>

#include <memory>

#include "ui/plugin_globals.h"
#include "ui/host_suites.h"
#include "ui/shell_openers.h"
#include "ui/ui_handlers.h"

PanelState Panel;

namespace {

constexpr PF_ParamIndex kInformationParam = 1;  // the panel's custom area

// Bitmap resources and where they go, relative to the panel's origin.
constexpr int kBannerBitmap = 781;
constexpr int kAboutBitmap = 782;
constexpr int kAboutHoverBitmap = 783;
constexpr int kHelpBitmap = 784;
constexpr int kHelpHoverBitmap = 785;

struct Box {
  int left, top, width, height;
  // Hit boxes include their right and bottom edges.
  bool Contains(A_long x, A_long y) const {
    return x >= Panel.origin_x + left && x <= Panel.origin_x + left + width &&
           y >= Panel.origin_y + top && y <= Panel.origin_y + top + height;
  }
};
constexpr Box kBanner = {0, 0, 360, 81};
constexpr Box kHelpButton = {10, 10, 72, 35};
constexpr Box kAboutButton = {5, 40, 84, 35};

bool InEffectWindow(const PF_EventExtra* event) {
  return event->contextH && event->contextH->w_type == PF_Window_EFFECT;
}

struct PagesRelease {
  void operator()(void* pages) const { VirtualFree(pages, 0, MEM_RELEASE); }
};
using Pages = std::unique_ptr<void, PagesRelease>;

// A bitmap selected into a memory context compatible with the screen; all
// three are given back when it goes.
class SelectedBitmap {
 public:
  explicit SelectedBitmap(int bitmap_id)
      : screen_(GetDC(nullptr)),
        memory_(CreateCompatibleDC(screen_)),
        bitmap_(static_cast<HBITMAP>(LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(bitmap_id)))),
        previous_(memory_ && bitmap_ ? SelectObject(memory_, bitmap_) : nullptr) {}
  ~SelectedBitmap() {
    if (previous_) SelectObject(memory_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (memory_) DeleteDC(memory_);
    if (screen_) ReleaseDC(nullptr, screen_);
  }
  SelectedBitmap(const SelectedBitmap&) = delete;
  SelectedBitmap& operator=(const SelectedBitmap&) = delete;

  bool Loaded() const { return previous_ != nullptr; }
  HDC Context() const { return memory_; }
  HBITMAP Bitmap() const { return bitmap_; }

 private:
  HDC screen_;
  HDC memory_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

}  // namespace

bool LoadBitmapBits(int bitmap_id, void** bits, int width, int height, int* row_bytes) {
  *bits = nullptr;
  if (width <= 0 || height <= 0) return false;
  SelectedBitmap source(bitmap_id);
  if (!source.Loaded()) return false;

  const int stride = ((width * 24 + 31) & ~31) / 8;
  Pages buffer(VirtualAlloc(nullptr, static_cast<SIZE_T>(stride) * static_cast<SIZE_T>(height),
                            MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!buffer) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  if (GetDIBits(source.Context(), source.Bitmap(), 0, static_cast<UINT>(height), buffer.get(),
                &info, DIB_RGB_COLORS) == 0)
    return false;

  *row_bytes = stride;
  *bits = buffer.release();
  return true;
}

PF_Err DrawResourceBitmap(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* /*params*/[],
                          PF_LayerDef* /*output*/, PF_EventExtra* event, int bitmap_id, int width,
                          int height, int x_offset, int y_offset) {
  HostSuiteHandler suites(in_data->pica_basicP);
  DrawbotSuites drawbot = {};
  PF_Err err = AEFX_AcquireDrawbotSuites(in_data, out_data, &drawbot);

  DRAWBOT_DrawRef drawing = nullptr;
  if (!err) {
    const void* custom_ui = nullptr;
    err = AEFX_AcquireSuite(in_data, out_data, kPFEffectCustomUISuite,
                            kPFEffectCustomUISuiteVersion1, nullptr, &custom_ui);
    if (!err) {
      err = static_cast<const PF_EffectCustomUISuite1*>(custom_ui)->PF_GetDrawingReference(
          event->contextH, &drawing);
      const PF_Err release_err = AEFX_ReleaseSuite(in_data, out_data, kPFEffectCustomUISuite,
                                                   kPFEffectCustomUISuiteVersion1, nullptr);
      if (!err) err = release_err;
    }
  }
  if (!drawing) {
    AEFX_ReleaseDrawbotSuites(in_data, out_data);
    return err;
  }

  DRAWBOT_SupplierRef supplier = nullptr;
  DRAWBOT_SurfaceRef surface = nullptr;
  if (!err) err = drawbot.draw->GetSupplier(drawing, &supplier);
  if (!err) err = drawbot.draw->GetSurface(drawing, &surface);

  if (!err && event->effect_win.area == PF_EA_CONTROL) {
    void* pixels = nullptr;
    int row_bytes = 0;
    if (LoadBitmapBits(bitmap_id, &pixels, width, height, &row_bytes)) {
      const Pages owned(pixels);
      DRAWBOT_ImageRef image = nullptr;
      err = drawbot.supplier->NewImageFromBuffer(supplier, width, height, row_bytes,
                                                 kDRAWBOT_PixelLayout_24BGR, pixels, &image);
      if (!err) {
        const DRAWBOT_PointF32 at = {
            static_cast<float>(event->effect_win.current_frame.left + x_offset),
            static_cast<float>(event->effect_win.current_frame.top + y_offset)};
        err = drawbot.surface->DrawImage(surface, image, &at, 1.0f);
      }
      if (image) {
        const PF_Err release_err = drawbot.supplier->ReleaseObject(image);
        if (!err) err = release_err;
      }
    }
  }

  AEFX_ReleaseDrawbotSuites(in_data, out_data);
  event->evt_out_flags = PF_EO_HANDLED_EVENT;
  return err;
}

PF_Err DrawPanel(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                 PF_LayerDef* output, PF_EventExtra* event) {
  if (event->evt_in_flags & PF_EI_DONT_DRAW) {
    Panel.drawing_suppressed = 1;
    return PF_Err_NONE;
  }
  if (!InEffectWindow(event)) return PF_Err_NONE;
  Panel.drawing_suppressed = 0;
  Panel.origin_x = event->u.draw.update_rect.left;
  Panel.origin_y = event->u.draw.update_rect.top;

  // Each bitmap on its own: one that fails leaves the others drawn. The About
  // button comes last and covers the Help button's lowest rows.
  const struct {
    int bitmap;
    const Box& box;
  } kLayers[] = {
      {kBannerBitmap, kBanner},
      {Panel.help_hover ? kHelpHoverBitmap : kHelpBitmap, kHelpButton},
      {Panel.about_hover ? kAboutHoverBitmap : kAboutBitmap, kAboutButton},
  };
  for (const auto& layer : kLayers)
    DrawResourceBitmap(in_data, out_data, params, output, event, layer.bitmap, layer.box.width,
                       layer.box.height, layer.box.left, layer.box.top);
  // The sequence data is not unlocked here: the panel never locks it, and the
  // host takes an unlock without a lock as a fault.
  return PF_Err_NONE;
}

PF_Err TrackPanelHover(PF_InData* in_data, PF_OutData* /*out_data*/, PF_ParamDef* params[],
                       PF_LayerDef* /*output*/, PF_EventExtra* event) {
  PF_ParamDef* information = params[kInformationParam];
  if ((information->flags & PF_ParamFlag_COLLAPSE_TWIRLY) || Panel.drawing_suppressed ||
      !InEffectWindow(event))
    return PF_Err_NONE;

  const PF_Point cursor = event->u.adjust_cursor.screen_point;
  const A_u_char help = kHelpButton.Contains(cursor.h, cursor.v);
  const A_u_char about = kAboutButton.Contains(cursor.h, cursor.v);
  if (help == Panel.help_hover && about == Panel.about_hover) return PF_Err_NONE;

  Panel.help_hover = help;
  Panel.about_hover = about;
  HostSuiteHandler suites(in_data->pica_basicP);
  suites.AppSuite()->PF_InvalidateRect(event->contextH, &event->effect_win.current_frame);
  event->evt_out_flags |= PF_EO_HANDLED_EVENT | PF_EO_UPDATE_NOW;
  information->uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
  return PF_Err_NONE;
}

PF_Err ClickPanel(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                  PF_LayerDef* output, PF_EventExtra* event) {
  if (!InEffectWindow(event)) return PF_Err_NONE;
  const PF_Point click = event->u.do_click.screen_point;
  if (kHelpButton.Contains(click.h, click.v)) OpenHelpPage(0);
  if (kAboutButton.Contains(click.h, click.v)) About(in_data, out_data, params, output);
  return PF_Err_NONE;
}

PF_Err HandleEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output, void* extra) {
  auto* event = static_cast<PF_EventExtra*>(extra);
  if (!event) return PF_Err_NONE;
  const bool information_area = event->effect_win.index == kInformationParam;
  switch (event->e_type) {
    case PF_Event_DO_CLICK:
      ClickPanel(in_data, out_data, params, output, event);
      break;
    case PF_Event_DRAW:
      if (information_area) DrawPanel(in_data, out_data, params, output, event);
      break;
    case PF_Event_ADJUST_CURSOR:
      if (information_area) TrackPanelHover(in_data, out_data, params, output, event);
      break;
    default:
      break;
  }
  return PF_Err_NONE;
}

// A small host of the suites the effect panel uses: the basic suite counts
// every acquire and release by name and version, the drawing suites paint
// images into a panel raster, and the App suite records invalidations. Suites
// can be taken away to see how the panel copes.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

class PanelHost {
 public:
  // Where the panel sits in the effect window; hit boxes are relative to it.
  static constexpr A_long kLeft = 7, kTop = 120, kWidth = 385, kHeight = 106;

  PanelHost() {
    Current() = this;
    std::memset(&in_data, 0, sizeof(in_data));
    std::memset(&out_data, 0, sizeof(out_data));
    utils = PF_UtilCallbacks{};
    utils.ansi.sprintf = &Sprintf;
    utils.host_unlock_handle = [](PF_Handle) { ++Current()->unlocks; };
    in_data.utils = &utils;
    basic = SPBasicSuite{};
    basic.AcquireSuite = &AcquireSuite;
    basic.ReleaseSuite = &ReleaseSuite;
    in_data.pica_basicP = &basic;
    in_data.sequence_data = reinterpret_cast<PF_Handle>(&sequence_token);

    custom_ui.PF_GetDrawingReference = [](PF_ContextH, DRAWBOT_DrawRef* ref) -> PF_Err {
      *ref = Token<DRAWBOT_DrawRef>(1);
      return PF_Err_NONE;
    };
    draw.GetSupplier = [](DRAWBOT_DrawRef, DRAWBOT_SupplierRef* s) -> PF_Err {
      *s = Token<DRAWBOT_SupplierRef>(2);
      return PF_Err_NONE;
    };
    draw.GetSurface = [](DRAWBOT_DrawRef, DRAWBOT_SurfaceRef* s) -> PF_Err {
      *s = Token<DRAWBOT_SurfaceRef>(3);
      return PF_Err_NONE;
    };
    supplier.NewImageFromBuffer = &NewImage;
    supplier.ReleaseObject = &ReleaseObject;
    surface.DrawImage = &DrawImage;
    app.PF_InvalidateRect = [](PF_ContextH, const PF_Rect* rect) -> PF_Err {
      Current()->invalidated.push_back(*rect);
      return PF_Err_NONE;
    };

    context.w_type = PF_Window_EFFECT;
    information.flags = 0;
    params[1] = &information;
    raster.assign(size_t(kWidth) * kHeight, 0);
  }
  ~PanelHost() { Current() = nullptr; }

  // ---- Events, as the host sends them for the "Information" area ----
  PF_EventExtra Event(PF_EventType type) const {
    PF_EventExtra e = {};
    e.contextH = const_cast<PF_Context*>(&context);
    e.e_type = type;
    e.effect_win.index = 1;
    e.effect_win.area = PF_EA_CONTROL;
    e.effect_win.current_frame = {kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    return e;
  }
  PF_EventExtra Draw(A_long in_flags = 0) const {
    PF_EventExtra e = Event(PF_Event_DRAW);
    e.u.draw.update_rect = e.effect_win.current_frame;
    e.evt_in_flags = in_flags;
    return e;
  }
  // Points relative to the panel.
  PF_EventExtra Cursor(A_long x, A_long y) const {
    PF_EventExtra e = Event(PF_Event_ADJUST_CURSOR);
    e.u.adjust_cursor.screen_point = {kLeft + x, kTop + y};
    return e;
  }
  PF_EventExtra Click(A_long x, A_long y) const {
    PF_EventExtra e = Event(PF_Event_DO_CLICK);
    e.u.do_click.screen_point = {kLeft + x, kTop + y};
    return e;
  }

  // Acquires minus releases of every suite, by name and version.
  bool SuitesBalanced() const {
    for (const auto& held : suites_held)
      if (held.second != 0) return false;
    return true;
  }
  int Acquired(const std::string& name, int version) const {
    auto it = acquires.find({name, version});
    return it == acquires.end() ? 0 : it->second;
  }
  int Released(const std::string& name, int version) const {
    auto it = releases.find({name, version});
    return it == releases.end() ? 0 : it->second;
  }
  // The panel pixel (x, y) as red, green, blue.
  COLORREF Pixel(int x, int y) const { return raster[size_t(y) * kWidth + x]; }

  struct Drawn {
    int width, height;
    float x, y, opacity;
  };

  PF_InData in_data;
  PF_OutData out_data;
  PF_UtilCallbacks utils;
  SPBasicSuite basic;
  PF_EffectCustomUISuite1 custom_ui = {};
  DRAWBOT_DrawbotSuite1 draw = {};
  DRAWBOT_SupplierSuite1 supplier = {};
  DRAWBOT_SurfaceSuite1 surface = {};
  DRAWBOT_PathSuite1 path = {};
  PFAppSuite6 app = {};
  PF_Context context = {};
  PF_ParamDef information = {};
  PF_ParamDef* params[2] = {nullptr, nullptr};

  std::set<std::string> missing;   // suites the host does not give
  std::vector<std::string> asked;  // every suite name asked for, in order
  std::map<std::pair<std::string, int>, int> acquires, releases;
  std::map<std::string, int> suites_held;
  std::vector<Drawn> drawn;
  std::vector<PF_Rect> invalidated;
  std::vector<COLORREF> raster;
  int live_images = 0;
  int unlocks = 0;

  static PanelHost*& Current() {
    static PanelHost* current = nullptr;
    return current;
  }

 private:
  template <typename Ref>
  static Ref Token(uintptr_t n) {
    return reinterpret_cast<Ref>(n);
  }
  static A_long Sprintf(A_char* dest, const A_char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(dest, PF_MAX_EFFECT_MSG_LEN + 1, format, args);
    va_end(args);
    return n;
  }
  const void* Suite(const std::string& name, int version) {
    if (missing.count(name)) return nullptr;
    if (name == kPFEffectCustomUISuite && version == 1) return &custom_ui;
    if (name == kDRAWBOT_DrawSuite && version == 1) return &draw;
    if (name == kDRAWBOT_SupplierSuite && version == 1) return &supplier;
    if (name == kDRAWBOT_SurfaceSuite && version == 1) return &surface;
    if (name == kDRAWBOT_PathSuite && version == 1) return &path;
    if (name == kPFAppSuite && version == 6) return &app;
    return nullptr;
  }
  static SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    PanelHost* h = Current();
    h->asked.push_back(name);
    *suite = h->Suite(name, version);
    if (!*suite) return kSPSuiteNotFoundError;
    ++h->acquires[{name, version}];
    ++h->suites_held[name];
    return kSPNoError;
  }
  static SPErr ReleaseSuite(const char* name, int32_t version) {
    PanelHost* h = Current();
    ++h->releases[{name, version}];
    --h->suites_held[name];
    return kSPNoError;
  }

  // An image is a copy of the caller's top-down rows of blue, green, red.
  struct Image {
    int width, height, row_bytes;
    std::vector<unsigned char> bytes;
  };
  static PF_Err NewImage(DRAWBOT_SupplierRef, int width, int height, int row_bytes,
                         DRAWBOT_PixelLayout layout, const void* data, DRAWBOT_ImageRef* image) {
    if (layout != kDRAWBOT_PixelLayout_24BGR) return PF_Err_BAD_CALLBACK_PARAM;
    auto* made = new Image{width, height, row_bytes, {}};
    const auto* bytes = static_cast<const unsigned char*>(data);
    made->bytes.assign(bytes, bytes + size_t(row_bytes) * size_t(height));
    ++Current()->live_images;
    *image = reinterpret_cast<DRAWBOT_ImageRef>(made);
    return PF_Err_NONE;
  }
  static PF_Err ReleaseObject(DRAWBOT_ObjectRef object) {
    delete reinterpret_cast<Image*>(object);
    --Current()->live_images;
    return PF_Err_NONE;
  }
  static PF_Err DrawImage(DRAWBOT_SurfaceRef, DRAWBOT_ImageRef ref, const DRAWBOT_PointF32* at,
                          float opacity) {
    PanelHost* h = Current();
    const Image& image = *reinterpret_cast<const Image*>(ref);
    h->drawn.push_back({image.width, image.height, at->x, at->y, opacity});
    const int left = int(at->x) - kLeft, top = int(at->y) - kTop;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        const int px = left + x, py = top + y;
        if (px < 0 || py < 0 || px >= kWidth || py >= kHeight) continue;
        const unsigned char* p = &image.bytes[size_t(y) * image.row_bytes + 3 * size_t(x)];
        h->raster[size_t(py) * kWidth + px] = RGB(p[2], p[1], p[0]);
      }
    return PF_Err_NONE;
  }

  int sequence_token = 0;
};

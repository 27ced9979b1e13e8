// The suites through which an effect draws in its custom areas of the effect
// panel: "PF Effect Custom UI Suite" (the drawing reference of a context), the
// four DRAWBOT suites (supplier, surface, images from pixel buffers) and
// "PF AE App Suite" (invalidating a rectangle). The session provides them for
// its whole life; each call finds its area through the context or the
// drawing object it is given, and misuse goes to the session's record.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

namespace qfhost {

class HostSession;
class HostPanel;

// An image made from a pixel buffer: its rows top first, blue, green, red.
struct DrawbotImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgr;  // width * 3 bytes a row, no padding
};

class PanelSuites {
 public:
  explicit PanelSuites(HostSession& host);
  ~PanelSuites();
  PanelSuites(const PanelSuites&) = delete;
  PanelSuites& operator=(const PanelSuites&) = delete;

  // An area joins while it is shown; its drawing objects go with it.
  void AddPanel(PF_ContextH context, HostPanel* panel);
  void RemovePanel(PF_ContextH context);
  // Drops the images of `panel` that the effect made and never released,
  // and returns how many there were.
  int DropImages(const HostPanel* panel);

  // ---- What the suites' callbacks reach ----
  PF_Err DrawingReference(PF_ContextH context, DRAWBOT_DrawRef* reference);
  PF_Err PartOfDrawing(DRAWBOT_DrawRef drawing, bool surface, DRAWBOT_ObjectRef* part);
  PF_Err NewImage(DRAWBOT_SupplierRef supplier, int width, int height, int row_bytes,
                  DRAWBOT_PixelLayout layout, const void* data, DRAWBOT_ImageRef* image);
  PF_Err ReleaseObject(DRAWBOT_ObjectRef object);
  PF_Err DrawImage(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image,
                   const DRAWBOT_PointF32* origin, float opacity);
  PF_Err InvalidateRect(PF_ContextH context, const PF_Rect* rect);

 private:
  enum class Kind { kDrawing, kSupplier, kSurface, kImage };
  struct Object {
    Kind kind;
    HostPanel* panel;
    DrawbotImage image;  // kImage only
  };
  // An area shown, with its drawing and the drawing's supplier and surface.
  struct Area {
    HostPanel* panel;
    DRAWBOT_ObjectRef parts[3];  // by Kind: drawing, supplier, surface
  };
  // The area of `context`, else null with the misuse recorded.
  Area* FindArea(PF_ContextH context, const char* caller);
  // The object behind `ref` when it is of `kind`, else null with the misuse recorded.
  Object* Find(DRAWBOT_ObjectRef ref, Kind kind, const char* caller);
  DRAWBOT_ObjectRef Add(Kind kind, HostPanel* panel);

  HostSession& host_;
  PF_EffectCustomUISuite1 custom_ui_{};
  DRAWBOT_DrawbotSuite1 draw_{};
  DRAWBOT_SupplierSuite1 supplier_{};
  DRAWBOT_SurfaceSuite1 surface_{};
  DRAWBOT_PathSuite1 path_{};
  PFAppSuite6 app_{};
  std::map<PF_ContextH, Area> areas_;
  std::map<DRAWBOT_ObjectRef, std::unique_ptr<Object>> objects_;
};

}  // namespace qfhost

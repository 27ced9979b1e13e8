#include "panel_suites.h"

#include <cstring>
#include <string>

#include "host_callbacks.h"
#include "qf_host/image.h"
#include "qf_host/panel.h"

namespace qfhost {
namespace {

constexpr int32_t kDrawbotVersion = 1;

// The session's panel suites, or null when no command is running.
PanelSuites* Suites(const char* caller) {
  HostSession* s = ActiveSession(caller);
  return s ? &s->panel_suites() : nullptr;
}

// The callbacks, each handing its call to the session that runs the command.
struct PanelCallbacks {
  static PF_Err GetDrawingReference(PF_ContextH context, DRAWBOT_DrawRef* reference) {
    PanelSuites* s = Suites("PF_GetDrawingReference");
    return s ? s->DrawingReference(context, reference) : PF_Err_BAD_CALLBACK_PARAM;
  }
  static PF_Err GetSupplier(DRAWBOT_DrawRef drawing, DRAWBOT_SupplierRef* supplier) {
    PanelSuites* s = Suites("GetSupplier");
    return s ? s->PartOfDrawing(drawing, false, supplier) : PF_Err_BAD_CALLBACK_PARAM;
  }
  static PF_Err GetSurface(DRAWBOT_DrawRef drawing, DRAWBOT_SurfaceRef* surface) {
    PanelSuites* s = Suites("GetSurface");
    return s ? s->PartOfDrawing(drawing, true, surface) : PF_Err_BAD_CALLBACK_PARAM;
  }
  static PF_Err NewImageFromBuffer(DRAWBOT_SupplierRef supplier, int width, int height,
                                   int row_bytes, DRAWBOT_PixelLayout layout, const void* data,
                                   DRAWBOT_ImageRef* image) {
    PanelSuites* s = Suites("NewImageFromBuffer");
    return s ? s->NewImage(supplier, width, height, row_bytes, layout, data, image)
             : PF_Err_BAD_CALLBACK_PARAM;
  }
  static PF_Err ReleaseObject(DRAWBOT_ObjectRef object) {
    PanelSuites* s = Suites("ReleaseObject");
    return s ? s->ReleaseObject(object) : PF_Err_BAD_CALLBACK_PARAM;
  }
  static PF_Err DrawImage(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image,
                          const DRAWBOT_PointF32* origin, float opacity) {
    PanelSuites* s = Suites("DrawImage");
    return s ? s->DrawImage(surface, image, origin, opacity) : PF_Err_BAD_CALLBACK_PARAM;
  }
  static PF_Err InvalidateRect(PF_ContextH context, const PF_Rect* rect) {
    PanelSuites* s = Suites("PF_InvalidateRect");
    return s ? s->InvalidateRect(context, rect) : PF_Err_BAD_CALLBACK_PARAM;
  }
};

}  // namespace

PanelSuites::PanelSuites(HostSession& host) : host_(host) {
  custom_ui_.PF_GetDrawingReference = &PanelCallbacks::GetDrawingReference;
  draw_.GetSupplier = &PanelCallbacks::GetSupplier;
  draw_.GetSurface = &PanelCallbacks::GetSurface;
  supplier_.NewImageFromBuffer = &PanelCallbacks::NewImageFromBuffer;
  supplier_.ReleaseObject = &PanelCallbacks::ReleaseObject;
  surface_.DrawImage = &PanelCallbacks::DrawImage;
  app_.PF_InvalidateRect = &PanelCallbacks::InvalidateRect;
  host_.ProvideSuite(kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1, &custom_ui_);
  host_.ProvideSuite(kDRAWBOT_DrawSuite, kDrawbotVersion, &draw_);
  host_.ProvideSuite(kDRAWBOT_SupplierSuite, kDrawbotVersion, &supplier_);
  host_.ProvideSuite(kDRAWBOT_SurfaceSuite, kDrawbotVersion, &surface_);
  host_.ProvideSuite(kDRAWBOT_PathSuite, kDrawbotVersion, &path_);
  host_.ProvideSuite(kPFAppSuite, kPFAppSuiteVersion6, &app_);
}

PanelSuites::~PanelSuites() = default;

void PanelSuites::AddPanel(PF_ContextH context, HostPanel* panel) {
  // The drawing, its supplier and its surface: one of each for the area's life.
  areas_[context] = Area{
      panel, {Add(Kind::kDrawing, panel), Add(Kind::kSupplier, panel), Add(Kind::kSurface, panel)}};
}

void PanelSuites::RemovePanel(PF_ContextH context) {
  auto it = areas_.find(context);
  if (it == areas_.end()) return;
  for (auto o = objects_.begin(); o != objects_.end();)
    o = o->second->panel == it->second.panel ? objects_.erase(o) : std::next(o);
  areas_.erase(it);
}

int PanelSuites::DropImages(const HostPanel* panel) {
  int dropped = 0;
  for (auto o = objects_.begin(); o != objects_.end();) {
    if (o->second->panel == panel && o->second->kind == Kind::kImage) {
      o = objects_.erase(o);
      ++dropped;
    } else {
      ++o;
    }
  }
  return dropped;
}

DRAWBOT_ObjectRef PanelSuites::Add(Kind kind, HostPanel* panel) {
  auto object = std::make_unique<Object>(Object{kind, panel, {}});
  auto ref = reinterpret_cast<DRAWBOT_ObjectRef>(object.get());
  objects_[ref] = std::move(object);
  return ref;
}

PanelSuites::Object* PanelSuites::Find(DRAWBOT_ObjectRef ref, Kind kind, const char* caller) {
  static const char* const kNames[] = {"drawing reference", "supplier", "surface", "image"};
  auto it = objects_.find(ref);
  if (it == objects_.end() || it->second->kind != kind) {
    host_.RecordError(std::string(caller) + ": not a " + kNames[static_cast<int>(kind)] +
                      " of the host");
    return nullptr;
  }
  return it->second.get();
}

PanelSuites::Area* PanelSuites::FindArea(PF_ContextH context, const char* caller) {
  auto it = areas_.find(context);
  if (it == areas_.end()) {
    host_.RecordError(std::string(caller) + ": not a context of the host");
    return nullptr;
  }
  return &it->second;
}

PF_Err PanelSuites::DrawingReference(PF_ContextH context, DRAWBOT_DrawRef* reference) {
  Area* area = FindArea(context, "PF_GetDrawingReference");
  if (!area) return PF_Err_BAD_CALLBACK_PARAM;
  if (!reference) {
    host_.RecordError("PF_GetDrawingReference: no place for the reference");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *reference = nullptr;
  // There is something to draw on only while the area is being drawn.
  if (!area->panel->drawing()) {
    host_.RecordError("PF_GetDrawingReference: asked outside a draw event");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *reference = area->parts[static_cast<int>(Kind::kDrawing)];
  return PF_Err_NONE;
}

PF_Err PanelSuites::PartOfDrawing(DRAWBOT_DrawRef drawing, bool surface, DRAWBOT_ObjectRef* part) {
  const char* caller = surface ? "GetSurface" : "GetSupplier";
  Object* d = Find(drawing, Kind::kDrawing, caller);
  if (!d) return PF_Err_BAD_CALLBACK_PARAM;
  if (!part) {
    host_.RecordError(std::string(caller) + ": no place for the result");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const Area* area = FindArea(d->panel->context(), caller);
  *part = area->parts[static_cast<int>(surface ? Kind::kSurface : Kind::kSupplier)];
  return PF_Err_NONE;
}

PF_Err PanelSuites::NewImage(DRAWBOT_SupplierRef supplier, int width, int height, int row_bytes,
                             DRAWBOT_PixelLayout layout, const void* data,
                             DRAWBOT_ImageRef* image) {
  Object* s = Find(supplier, Kind::kSupplier, "NewImageFromBuffer");
  if (!s) return PF_Err_BAD_CALLBACK_PARAM;
  if (!image || !data || width < 1 || height < 1 || width > kMaxImageSide ||
      height > kMaxImageSide || row_bytes < width * 3) {
    host_.RecordError("NewImageFromBuffer: a " + std::to_string(width) + " x " +
                      std::to_string(height) + " image of " + std::to_string(row_bytes) +
                      " bytes a row" + (data ? "" : " without pixels") +
                      (image ? "" : " and no place for it"));
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *image = nullptr;
  // This host reads 24-bit blue-green-red pixels only.
  if (layout != kDRAWBOT_PixelLayout_24BGR) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
  // The pixels are copied: the caller may free its buffer once the image exists.
  auto made = std::make_unique<Object>(Object{Kind::kImage, s->panel, {}});
  made->image.width = width;
  made->image.height = height;
  const size_t row = static_cast<size_t>(width) * 3;
  made->image.bgr.resize(row * height);
  for (int y = 0; y < height; ++y)
    std::memcpy(&made->image.bgr[row * y],
                static_cast<const uint8_t*>(data) + size_t(row_bytes) * y, row);
  *image = reinterpret_cast<DRAWBOT_ImageRef>(made.get());
  objects_[*image] = std::move(made);
  return PF_Err_NONE;
}

PF_Err PanelSuites::ReleaseObject(DRAWBOT_ObjectRef object) {
  // Only what the effect made is its to release.
  if (!Find(object, Kind::kImage, "ReleaseObject")) return PF_Err_BAD_CALLBACK_PARAM;
  objects_.erase(object);
  return PF_Err_NONE;
}

PF_Err PanelSuites::DrawImage(DRAWBOT_SurfaceRef surface, DRAWBOT_ImageRef image,
                              const DRAWBOT_PointF32* origin, float opacity) {
  Object* s = Find(surface, Kind::kSurface, "DrawImage");
  Object* i = s ? Find(image, Kind::kImage, "DrawImage") : nullptr;
  if (!i) return PF_Err_BAD_CALLBACK_PARAM;
  if (!origin) {
    host_.RecordError("DrawImage: no point to draw at");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  if (!s->panel->drawing()) {
    host_.RecordError("DrawImage: drawn outside a draw event");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  s->panel->Paint(i->image, origin->x, origin->y, opacity);
  return PF_Err_NONE;
}

PF_Err PanelSuites::InvalidateRect(PF_ContextH context, const PF_Rect* rect) {
  Area* area = FindArea(context, "PF_InvalidateRect");
  if (!area) return PF_Err_BAD_CALLBACK_PARAM;
  // No rectangle: the whole area.
  area->panel->Invalidate(rect ? *rect : area->panel->frame());
  return PF_Err_NONE;
}

}  // namespace qfhost

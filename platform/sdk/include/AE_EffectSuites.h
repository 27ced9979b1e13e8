// Stand-in for the host suites that the plug-in acquires through the basic
// suite. Each table lists its functions in the host's order; the plug-in
// relies only on the positions of the functions it calls, the others are
// typed loosely because nothing here calls them.
#pragma once

#include "AE_Effect.h"

typedef void (*PF_UnusedSuiteFn)(void);

// ---- "PF Param Utils Suite" ----
#define kPFParamUtilsSuite "PF Param Utils Suite"
#define kPFParamUtilsSuiteVersion2 2
#define kPFParamUtilsSuiteVersion3 3
struct PF_ParamUtilsSuite2 {
  PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                             const PF_ParamDef* defP);
  PF_UnusedSuiteFn PF_GetCurrentState;
  PF_UnusedSuiteFn PF_AreStatesIdentical;
  PF_UnusedSuiteFn PF_IsIdenticalCheckout;
  PF_UnusedSuiteFn PF_FindKeyframeTime;
  PF_UnusedSuiteFn PF_GetKeyframeCount;
  PF_UnusedSuiteFn PF_CheckoutKeyframe;
  PF_UnusedSuiteFn PF_CheckinKeyframe;
  PF_UnusedSuiteFn PF_KeyIndexToTime;
};

// ---- Mask paths ----
struct PF_PathVertex {
  double x, y;
  double tan_in_x, tan_in_y;  // absolute positions of the control points
  double tan_out_x, tan_out_y;
};

#define kPFPathQuerySuite "PF Path Query Suite"
#define kPFPathQuerySuiteVersion1 1
struct PF_PathQuerySuite1 {
  PF_Err (*PF_NumPaths)(PF_ProgPtr effect_ref, A_long* num_pathsPL);
  PF_Err (*PF_PathInfo)(PF_ProgPtr effect_ref, A_long indexL, PF_PathID* unique_idP);
  PF_Err (*PF_CheckoutPath)(PF_ProgPtr effect_ref, PF_PathID unique_id, A_long what_time,
                            A_long time_step, A_u_long time_scale, PF_PathOutlinePtr* pathPP);
  PF_Err (*PF_CheckinPath)(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean changedB,
                           PF_PathOutlinePtr pathP);
};

#define kPFPathDataSuite "PF Path Data Suite"
#define kPFPathDataSuiteVersion1 1
struct PF_PathDataSuite1 {
  PF_Err (*PF_PathIsOpen)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP, PF_Boolean* openPB);
  PF_Err (*PF_PathNumSegments)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                               A_long* num_segmentsPL);
  PF_Err (*PF_PathVertexInfo)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP, A_long which_pointL,
                              PF_PathVertex* vertexP);
  PF_UnusedSuiteFn PF_PathPrepareSegLength;
  PF_UnusedSuiteFn PF_PathGetSegLength;
  PF_UnusedSuiteFn PF_PathEval;
  PF_UnusedSuiteFn PF_PathPrepareBBox;
  PF_UnusedSuiteFn PF_PathGetBBox;
  PF_UnusedSuiteFn PF_PathSegmentInfo;
  PF_Err (*PF_PathIsInverted)(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean* invertedB);
  PF_UnusedSuiteFn PF_PathGetMaskMode;
  PF_UnusedSuiteFn PF_PathGetName;
};

// ---- Drawing in the effect panel ----
struct _DRAWBOT_Object;
typedef _DRAWBOT_Object* DRAWBOT_ObjectRef;
typedef DRAWBOT_ObjectRef DRAWBOT_DrawRef;
typedef DRAWBOT_ObjectRef DRAWBOT_SupplierRef;
typedef DRAWBOT_ObjectRef DRAWBOT_SurfaceRef;
typedef DRAWBOT_ObjectRef DRAWBOT_ImageRef;
struct DRAWBOT_PointF32 {
  float x, y;
};
enum {
  kDRAWBOT_PixelLayout_24RGB = 0,
  kDRAWBOT_PixelLayout_24BGR = 1,
  kDRAWBOT_PixelLayout_32RGB = 2,
  kDRAWBOT_PixelLayout_32BGR = 3,
  kDRAWBOT_PixelLayout_32ARGB_Straight = 4,
  kDRAWBOT_PixelLayout_32ARGB_Premul = 5,
  kDRAWBOT_PixelLayout_32BGRA_Straight = 6,
  kDRAWBOT_PixelLayout_32BGRA_Premul = 7
};
typedef A_long DRAWBOT_PixelLayout;

#define kPFEffectCustomUISuite "PF Effect Custom UI Suite"
#define kPFEffectCustomUISuiteVersion1 1
struct PF_EffectCustomUISuite1 {
  PF_Err (*PF_GetDrawingReference)(PF_ContextH contextH, DRAWBOT_DrawRef* referenceP);
};

#define kDRAWBOT_DrawSuite "DRAWBOT Draw Suite"
#define kDRAWBOT_SupplierSuite "DRAWBOT Supplier Suite"
#define kDRAWBOT_SurfaceSuite "DRAWBOT Surface Suite"
#define kDRAWBOT_PathSuite "DRAWBOT Path Suite"
#define kDRAWBOT_SuiteVersion1 1

struct DRAWBOT_DrawbotSuite1 {
  PF_Err (*GetSupplier)(DRAWBOT_DrawRef in_drawbot_ref, DRAWBOT_SupplierRef* out_supplierP);
  PF_Err (*GetSurface)(DRAWBOT_DrawRef in_drawbot_ref, DRAWBOT_SurfaceRef* out_surfaceP);
};

struct DRAWBOT_SupplierSuite1 {
  PF_UnusedSuiteFn NewPen;
  PF_UnusedSuiteFn NewBrush;
  PF_UnusedSuiteFn SupportsText;
  PF_UnusedSuiteFn GetDefaultFontSize;
  PF_UnusedSuiteFn NewDefaultFont;
  PF_Err (*NewImageFromBuffer)(DRAWBOT_SupplierRef in_supplier_ref, int width, int height,
                               int row_bytes, DRAWBOT_PixelLayout pl, const void* dataP,
                               DRAWBOT_ImageRef* out_imageP);
  PF_UnusedSuiteFn NewPath;
  PF_UnusedSuiteFn SupportsPixelLayoutBGRA;
  PF_UnusedSuiteFn PrefersPixelLayoutBGRA;
  PF_UnusedSuiteFn SupportsPointRelativeToDrawRect;
  PF_UnusedSuiteFn GetTransparentColor;
  PF_UnusedSuiteFn AcquireObject;
  PF_Err (*ReleaseObject)(DRAWBOT_ObjectRef in_obj_ref);
};

struct DRAWBOT_SurfaceSuite1 {
  PF_UnusedSuiteFn PushStateStack;
  PF_UnusedSuiteFn PopStateStack;
  PF_UnusedSuiteFn PaintRect;
  PF_UnusedSuiteFn FillPath;
  PF_UnusedSuiteFn StrokePath;
  PF_UnusedSuiteFn Clip;
  PF_UnusedSuiteFn GetClipBounds;
  PF_UnusedSuiteFn IsWithinClipBounds;
  PF_UnusedSuiteFn Transform;
  PF_UnusedSuiteFn DrawString;
  PF_Err (*DrawImage)(DRAWBOT_SurfaceRef in_surface_ref, DRAWBOT_ImageRef in_image_ref,
                      const DRAWBOT_PointF32* in_originP, float in_alpha);
  PF_UnusedSuiteFn SetInterpolationPolicy;
  PF_UnusedSuiteFn GetInterpolationPolicy;
  PF_UnusedSuiteFn SetAntiAliasPolicy;
  PF_UnusedSuiteFn GetAntiAliasPolicy;
  PF_UnusedSuiteFn Flush;
};

struct DRAWBOT_PathSuite1 {
  PF_UnusedSuiteFn MoveTo;
  PF_UnusedSuiteFn LineTo;
  PF_UnusedSuiteFn BezierTo;
  PF_UnusedSuiteFn AddRect;
  PF_UnusedSuiteFn AddArc;
  PF_UnusedSuiteFn Close;
};

// ---- "PF AE App Suite" ----
#define kPFAppSuite "PF AE App Suite"
#define kPFAppSuiteVersion6 6
struct PFAppSuite6 {
  PF_UnusedSuiteFn PF_AppGetBgColor;
  PF_UnusedSuiteFn PF_AppGetColor;
  PF_UnusedSuiteFn PF_GetPersonalInfo;
  PF_UnusedSuiteFn PF_GetFontStyleSheet;
  PF_UnusedSuiteFn PF_SetCursor;
  PF_UnusedSuiteFn PF_IsRenderEngine;
  PF_UnusedSuiteFn PF_AppColorPickerDialog;
  PF_UnusedSuiteFn PF_GetMouse;
  PF_Err (*PF_InvalidateRect)(PF_ContextH contextH, const PF_Rect* rectP0);
  PF_UnusedSuiteFn PF_ConvertLocalToGlobal;
  PF_UnusedSuiteFn PF_GetClickedPoint;
  PF_UnusedSuiteFn PF_AppGetLanguage;
};

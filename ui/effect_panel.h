// The "Information" area of the effect panel: a banner with Help and About
// buttons, drawn through the host's drawing suites, lit while the cursor is
// over a button and acting on clicks. HandleEvent (ui_handlers.h) leads here.
#pragma once

#include "AE_Effect.h"

// Shared by every instance of the effect in the process.
struct PanelState {
  A_long origin_x = 0;  // top left of the last draw's update rectangle
  A_long origin_y = 0;
  A_u_char help_hover = 0;
  A_u_char about_hover = 0;
  A_u_char drawing_suppressed = 1;  // the cursor is not tracked until the first draw
};
extern PanelState Panel;

PF_Err DrawPanel(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                 PF_LayerDef* output, PF_EventExtra* event);
PF_Err TrackPanelHover(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                       PF_LayerDef* output, PF_EventExtra* event);
PF_Err ClickPanel(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                  PF_LayerDef* output, PF_EventExtra* event);

// Draws a bitmap resource of the given size at the offset from the panel's
// frame; returns the first host error met.
PF_Err DrawResourceBitmap(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                          PF_LayerDef* output, PF_EventExtra* event, int bitmap_id, int width,
                          int height, int x_offset, int y_offset);

// Reads a bitmap resource of the module as 24-bit bottom-up rows into a buffer
// committed with VirtualAlloc, which the caller frees with VirtualFree. False
// when the bitmap cannot be read or the buffer cannot be committed.
bool LoadBitmapBits(int bitmap_id, void** bits, int width, int height, int* row_bytes);

// Stand-in for the common controls' declarations: the tooltip that the
// plug-in attaches to its controls. The control itself needs a window system.
#pragma once

#include "windows.h"

struct TTTOOLINFOA {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
  void* lpReserved;
};

#define WM_USER 0x0400
#define TTM_ADDTOOLA (WM_USER + 4)
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)
#define TTM_SETTITLEA (WM_USER + 32)
#define TOOLTIPS_CLASSA "tooltips_class32"

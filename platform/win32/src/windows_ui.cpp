// Windows, classes, dialogs and text drawing. Without a window system no class
// is registered and no window is made, so each call fails as Windows does for
// a window or class that does not exist; a dialog box answers -1 at once.
#include "windows.h"

QF_WIN32_API HBRUSH CreateSolidBrush(COLORREF) { return nullptr; }
QF_WIN32_API HFONT CreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                               DWORD, DWORD, LPCSTR) {
  return nullptr;
}
QF_WIN32_API HBITMAP CreateCompatibleBitmap(HDC, int, int) { return nullptr; }
QF_WIN32_API int FillRect(HDC, const RECT*, HBRUSH) { return 0; }
QF_WIN32_API COLORREF SetTextColor(HDC, COLORREF) { return CLR_INVALID; }
QF_WIN32_API int SetBkMode(HDC, int) { return 0; }
QF_WIN32_API BOOL GetTextExtentPoint32A(HDC, LPCSTR, int, SIZE*) { return FALSE; }
QF_WIN32_API BOOL TextOutA(HDC, int, int, LPCSTR, int) { return FALSE; }
QF_WIN32_API int DrawTextA(HDC, LPCSTR, int, RECT*, UINT) { return 0; }
QF_WIN32_API BOOL BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD) { return FALSE; }
QF_WIN32_API BOOL StretchBlt(HDC, int, int, int, int, HDC, int, int, int, int, DWORD) {
  return FALSE;
}

QF_WIN32_API HCURSOR LoadCursorA(HINSTANCE, LPCSTR) { return nullptr; }
QF_WIN32_API HCURSOR SetCursor(HCURSOR) { return nullptr; }
QF_WIN32_API ATOM RegisterClassA(const WNDCLASSA*) { return 0; }
QF_WIN32_API BOOL UnregisterClassA(LPCSTR, HINSTANCE) { return FALSE; }
QF_WIN32_API HWND CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                                  HINSTANCE, LPVOID) {
  return nullptr;
}
QF_WIN32_API LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
QF_WIN32_API LONG_PTR GetWindowLongPtrA(HWND, int) { return 0; }
QF_WIN32_API LONG_PTR SetWindowLongPtrA(HWND, int, LONG_PTR) { return 0; }
QF_WIN32_API int GetClassNameA(HWND, LPSTR name, int size) {
  if (name && size > 0) name[0] = '\0';
  return 0;
}
QF_WIN32_API HWND GetParent(HWND) { return nullptr; }
QF_WIN32_API HWND GetDlgItem(HWND, int) { return nullptr; }
QF_WIN32_API BOOL SetDlgItemTextA(HWND, int, LPCSTR) { return FALSE; }
QF_WIN32_API BOOL GetClientRect(HWND, RECT*) { return FALSE; }
QF_WIN32_API BOOL GetWindowRect(HWND, RECT*) { return FALSE; }
QF_WIN32_API BOOL SetWindowPos(HWND, HWND, int, int, int, int, UINT) { return FALSE; }
QF_WIN32_API LRESULT SendMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
QF_WIN32_API BOOL PostMessageA(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
QF_WIN32_API HDC BeginPaint(HWND, PAINTSTRUCT*) { return nullptr; }
QF_WIN32_API BOOL EndPaint(HWND, const PAINTSTRUCT*) { return FALSE; }
QF_WIN32_API BOOL InvalidateRect(HWND, const RECT*, BOOL) { return FALSE; }
QF_WIN32_API BOOL UpdateWindow(HWND) { return FALSE; }
QF_WIN32_API HWND SetCapture(HWND) { return nullptr; }
QF_WIN32_API BOOL ReleaseCapture(void) { return FALSE; }
QF_WIN32_API INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) { return -1; }
QF_WIN32_API BOOL EndDialog(HWND, INT_PTR) { return FALSE; }

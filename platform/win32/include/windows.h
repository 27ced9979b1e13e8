// Stand-in for the Windows calls that the plug-in and the host make, with
// Windows-style names and signatures, implemented over POSIX in the shared
// library qfwin32. Only what this project calls is declared here.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define QF_WIN32_API extern "C" __attribute__((visibility("default")))

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int INT;
typedef DWORD* LPDWORD;
typedef size_t SIZE_T;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef uint32_t COLORREF;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef LONG_PTR LPARAM;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LRESULT;

typedef void* HANDLE;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HWND__;
typedef HWND__* HWND;
struct HDC__;
typedef HDC__* HDC;
struct HGDIOBJ__;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HBITMAP;
struct HRSRC__;
typedef HRSRC__* HRSRC;
typedef HANDLE HGLOBAL;
typedef int (*FARPROC)(void);
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HFONT;
typedef HANDLE HCURSOR;
typedef HANDLE HICON;
typedef HANDLE HMENU;
typedef WORD ATOM;
typedef intptr_t INT_PTR;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define MAKEINTRESOURCEA(i) ((LPCSTR)(uintptr_t)((WORD)(i)))
#define IS_INTRESOURCE(p) ((((uintptr_t)(p)) >> 16) == 0)
#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)((c) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))
#define CLR_INVALID 0xFFFFFFFFu

// Resource types.
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_DIALOG MAKEINTRESOURCEA(5)

// Module entry reasons.
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// ---- Memory: whole-page, zero-filled, read-write allocations ----
#define MEM_COMMIT 0x00001000
#define MEM_RESERVE 0x00002000
#define MEM_RELEASE 0x00008000
#define PAGE_READWRITE 0x04

// Reserves and commits fresh pages (address null, MEM_COMMIT, PAGE_READWRITE).
QF_WIN32_API LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect);
// With MEM_RELEASE and size 0, frees the whole reservation made by VirtualAlloc.
QF_WIN32_API BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type);

// ---- Modules ----
// Loads a module (RTLD_NOW | RTLD_LOCAL); its module entry has run when this returns.
QF_WIN32_API HMODULE LoadLibraryA(LPCSTR path);
QF_WIN32_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
QF_WIN32_API BOOL FreeLibrary(HMODULE module);
// Copies the module's full path (a null module: the executable's) and returns its
// length without the terminating zero. When the buffer is too small, the copy is
// cut to size - 1 characters and size is returned.
QF_WIN32_API DWORD GetModuleFileNameA(HMODULE module, LPSTR filename, DWORD size);

// ---- Resources ----
// A null module means the executable. Names and types are integer ids
// (MAKEINTRESOURCEA, or text "#123") or, for types, names compared without case.
QF_WIN32_API HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
QF_WIN32_API HGLOBAL LoadResource(HMODULE module, HRSRC resource);
QF_WIN32_API LPVOID LockResource(HGLOBAL resource_data);
QF_WIN32_API DWORD SizeofResource(HMODULE module, HRSRC resource);

// ---- GDI ----
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // positive: bottom-up rows
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
struct RGBQUAD {
  BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
#define BI_RGB 0
#define DIB_RGB_COLORS 0

QF_WIN32_API HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
QF_WIN32_API HDC GetDC(HWND window);
QF_WIN32_API int ReleaseDC(HWND window, HDC dc);
QF_WIN32_API HDC CreateCompatibleDC(HDC dc);
QF_WIN32_API BOOL DeleteDC(HDC dc);
QF_WIN32_API HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
QF_WIN32_API BOOL DeleteObject(HGDIOBJ object);
QF_WIN32_API COLORREF GetPixel(HDC dc, int x, int y);
QF_WIN32_API int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits,
                           BITMAPINFO* info, UINT usage);

// ---- Threads ----
struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);
// Starts the routine on a thread of its own (stack size, security and flags
// are ignored); returns a handle to be closed with CloseHandle, or null.
QF_WIN32_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack_size,
                                 LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                 DWORD creation_flags, LPDWORD thread_id);
// Closes a thread handle; the thread itself runs on.
QF_WIN32_API BOOL CloseHandle(HANDLE object);
// Stand-in only: waits until every thread started with CreateThread has returned.
QF_WIN32_API void QFWaitForThreads(void);

// ---- Shell ----
#define SW_SHOW 5
#define SE_ERR_NOASSOC 31
// There is no shell to hand a file to: every request answers SE_ERR_NOASSOC,
// after the watcher (if any) has seen it.
QF_WIN32_API HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                     LPCSTR directory, INT show);
// Stand-in only: the watcher is called with the verb and file of every later
// request, on the requesting thread; null stops watching.
typedef void (*QFShellWatcher)(LPCSTR verb, LPCSTR file);
QF_WIN32_API void QFWatchShell(QFShellWatcher watcher);

// ---- Windows, dialogs, painting and text ----
// There is no window system: no window or class is ever made, so the calls
// that need one fail as Windows does, and those that only draw on a window's
// context have none to draw on. Memory contexts and bitmaps are those above.
struct RECT {
  LONG left, top, right, bottom;
};
struct POINT {
  LONG x, y;
};
struct SIZE {
  LONG cx, cy;
};
struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};
struct CREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy, cx, y, x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xFFFF))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xFFFF))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | ((DWORD)((WORD)(h))) << 16))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define GWLP_USERDATA (-21)
#define GWLP_ID (-12)
#define IDOK 1
#define IDCANCEL 2
#define HWND_TOP ((HWND)0)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOACTIVATE 0x0010
#define CW_USEDEFAULT ((int)0x80000000)
#define TRANSPARENT 1
#define SRCCOPY 0x00CC0020
#define DT_CENTER 0x00000001
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_PAINT 0x000F
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202

QF_WIN32_API HBRUSH CreateSolidBrush(COLORREF color);
QF_WIN32_API HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                               DWORD italic, DWORD underline, DWORD strike_out, DWORD charset,
                               DWORD out_precision, DWORD clip_precision, DWORD quality,
                               DWORD pitch_and_family, LPCSTR face);
QF_WIN32_API HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
QF_WIN32_API int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
QF_WIN32_API COLORREF SetTextColor(HDC dc, COLORREF color);
QF_WIN32_API int SetBkMode(HDC dc, int mode);
QF_WIN32_API BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
QF_WIN32_API BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
QF_WIN32_API int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
QF_WIN32_API BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int source_x,
                         int source_y, DWORD operation);
QF_WIN32_API BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int source_x,
                             int source_y, int source_width, int source_height, DWORD operation);

QF_WIN32_API HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
QF_WIN32_API HCURSOR SetCursor(HCURSOR cursor);
QF_WIN32_API ATOM RegisterClassA(const WNDCLASSA* window_class);
QF_WIN32_API BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance);
QF_WIN32_API HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name,
                                  DWORD style, int x, int y, int width, int height, HWND parent,
                                  HMENU menu, HINSTANCE instance, LPVOID parameter);
QF_WIN32_API LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
QF_WIN32_API LONG_PTR GetWindowLongPtrA(HWND window, int index);
QF_WIN32_API LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
QF_WIN32_API int GetClassNameA(HWND window, LPSTR name, int size);
QF_WIN32_API HWND GetParent(HWND window);
QF_WIN32_API HWND GetDlgItem(HWND dialog, int id);
QF_WIN32_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
QF_WIN32_API BOOL GetClientRect(HWND window, RECT* rect);
QF_WIN32_API BOOL GetWindowRect(HWND window, RECT* rect);
QF_WIN32_API BOOL SetWindowPos(HWND window, HWND after, int x, int y, int width, int height,
                               UINT flags);
QF_WIN32_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
QF_WIN32_API BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
QF_WIN32_API HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
QF_WIN32_API BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
QF_WIN32_API BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
QF_WIN32_API BOOL UpdateWindow(HWND window);
QF_WIN32_API HWND SetCapture(HWND window);
QF_WIN32_API BOOL ReleaseCapture(void);
// A dialog cannot be made: answers -1 at once, without calling the procedure.
QF_WIN32_API INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent,
                                     DLGPROC procedure, LPARAM parameter);
QF_WIN32_API BOOL EndDialog(HWND dialog, INT_PTR result);

// ---- Stand-in only: how a module's resources and entry reach this library ----
// One compiled resource, as the resource compiler emits it.
struct QFResourceEntry {
  uintptr_t type;  // small integer type id, or 0 when type_name is used
  const char* type_name;
  uintptr_t id;
  WORD language;
  const unsigned char* data;
  DWORD size;
};
struct QFResourceTable {
  const QFResourceEntry* entries;
  size_t count;
};
// Called from a module's load-time constructor: records the module's resources
// under its instance handle (the module's load address). A null table removes them.
QF_WIN32_API void QFRegisterModuleResources(HINSTANCE instance, const QFResourceTable* table);
// The instance handle (load address) of the module that contains the address.
QF_WIN32_API HINSTANCE QFModuleFromAddress(const void* address);

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

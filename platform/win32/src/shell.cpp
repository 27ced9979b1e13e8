// The shell: without a desktop there is nothing to open a file or address with.
#include "windows.h"

QF_WIN32_API HINSTANCE ShellExecuteA(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) {
  return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(SE_ERR_NOASSOC));
}

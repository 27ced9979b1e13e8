// The shell: without a desktop there is nothing to open a file or address
// with. A watcher may see what was asked.
#include <atomic>

#include "windows.h"

namespace {
std::atomic<QFShellWatcher> g_watcher{nullptr};
}

QF_WIN32_API HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
  if (QFShellWatcher watcher = g_watcher.load()) watcher(verb ? verb : "", file ? file : "");
  return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(SE_ERR_NOASSOC));
}

QF_WIN32_API void QFWatchShell(QFShellWatcher watcher) { g_watcher = watcher; }

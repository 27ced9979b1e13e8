// Windows: the host's main window, and the log of the shell probe that the
// test prefix registers for .html files and http/https addresses. The log is
// named in the environment (QF_SHELL_PROBE_LOG), which the programs the shell
// starts inherit.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "qf_host/dialog_driver.h"

namespace qfhost {

namespace {

constexpr DWORD kWaitMs = 30000;  // a shell or probe that hangs does not hang the host
const char kProbeName[] = "qf-shell-probe.exe";

// The ids of the entries of a Toolhelp snapshot of `kind` that `keep` picks.
template <typename Entry, typename Keep>
std::set<DWORD> Listed(DWORD kind, BOOL(WINAPI* first)(HANDLE, Entry*),
                       BOOL(WINAPI* next)(HANDLE, Entry*), DWORD Entry::*id, Keep keep) {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(kind, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  Entry entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = first(snapshot, &entry); more; more = next(snapshot, &entry))
    if (keep(entry)) ids.insert(entry.*id);
  CloseHandle(snapshot);
  return ids;
}

std::set<DWORD> ThreadsOfProcess() {
  return Listed(
      TH32CS_SNAPTHREAD, Thread32First, Thread32Next, &THREADENTRY32::th32ThreadID,
      [](const THREADENTRY32& e) { return e.th32OwnerProcessID == GetCurrentProcessId(); });
}

std::set<DWORD> ProbeProcesses() {
  return Listed(TH32CS_SNAPPROCESS, Process32First, Process32Next, &PROCESSENTRY32::th32ProcessID,
                [](const PROCESSENTRY32& e) { return lstrcmpiA(e.szExeFile, kProbeName) == 0; });
}

// Waits for a thread or process that could be opened to end, then closes it.
void WaitFor(HANDLE handle) {
  if (!handle) return;
  WaitForSingleObject(handle, kWaitMs);
  CloseHandle(handle);
}

std::set<DWORD> g_threads_before;

}  // namespace

void* HostMainWindow() {
  static HWND window = [] {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "QuillFrameHost";
    RegisterClassA(&window_class);
    // Shown, as a host's is: a dialog that ends gives the activation back to it.
    HWND main = CreateWindowExA(0, "QuillFrameHost", "qf-host", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (main) ShowWindow(main, SW_SHOWNOACTIVATE);
    return main;
  }();
  return window;
}

ShellProbeLog::ShellProbeLog() {
  char folder[MAX_PATH], file[MAX_PATH];
  if (GetTempPathA(MAX_PATH, folder) && GetTempFileNameA(folder, "qfs", 0, file)) {
    path_ = file;
    SetEnvironmentVariableA("QF_SHELL_PROBE_LOG", file);
  }
  g_threads_before = ThreadsOfProcess();
}

ShellProbeLog::~ShellProbeLog() {
  SetEnvironmentVariableA("QF_SHELL_PROBE_LOG", nullptr);
  if (!path_.empty()) DeleteFileA(path_.c_str());
}

std::vector<std::string> ShellProbeLog::Requests() {
  for (DWORD id : ThreadsOfProcess())
    if (!g_threads_before.count(id)) WaitFor(OpenThread(SYNCHRONIZE, FALSE, id));
  for (DWORD id : ProbeProcesses()) WaitFor(OpenProcess(SYNCHRONIZE, FALSE, id));
  std::vector<std::string> requests;
  std::ifstream in(path_);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) requests.push_back(line);
  }
  return requests;
}

}  // namespace qfhost

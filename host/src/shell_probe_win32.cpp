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

std::set<DWORD> ThreadsOfProcess() {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
  CloseHandle(snapshot);
  return ids;
}

std::set<DWORD> ProbeProcesses() {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, kProbeName) == 0) ids.insert(entry.th32ProcessID);
  CloseHandle(snapshot);
  return ids;
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
  for (DWORD id : ThreadsOfProcess()) {
    if (g_threads_before.count(id)) continue;
    if (HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id)) {
      WaitForSingleObject(thread, kWaitMs);
      CloseHandle(thread);
    }
  }
  for (DWORD id : ProbeProcesses()) {
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id)) {
      WaitForSingleObject(process, kWaitMs);
      CloseHandle(process);
    }
  }
  std::vector<std::string> requests;
  std::ifstream in(path_);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) requests.push_back(line);
  }
  return requests;
}

}  // namespace qfhost

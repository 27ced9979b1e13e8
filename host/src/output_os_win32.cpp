#include <windows.h>

#include "output_os.h"

namespace qfhost {
namespace {

// The console calls this on a thread of its own.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  InterruptArrived(130);
  return TRUE;  // a hold lives: the main thread ends the process when it ends
}

}  // namespace

unsigned long ProcessId() { return GetCurrentProcessId(); }

bool RenameOver(const char* from, const char* to, std::string* why) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return true;
  *why = "error " + std::to_string(GetLastError());
  return false;
}

void InstallInterruptHandler() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void EndInterrupted(int status) {
  const InterruptPlan& plan = TheInterruptPlan();
  if (plan.kept_partial[0] != '\0')
    MoveFileExA(plan.kept_partial, plan.kept_target, MOVEFILE_REPLACE_EXISTING);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), plan.note, lstrlenA(plan.note), &written, nullptr);
  // At once, without running the plug-in's detach code beside a render.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  for (;;) Sleep(INFINITE);
}

}  // namespace qfhost

// Windows: the shell takes the requests itself. The host only waits for the
// threads that the effect started to hand them over, so that the process
// does not end under them.
#include <windows.h>
// After windows.h:
#include <tlhelp32.h>

#include <set>

#include "shell_requests.h"

namespace qfhost {
namespace {

// The longest wait for one thread: a shell that hangs does not hang the host.
constexpr DWORD kThreadWaitMs = 30000;
std::set<DWORD> g_before;

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

}  // namespace

ShellWatch::ShellWatch() { g_before = ThreadsOfProcess(); }

ShellWatch::~ShellWatch() = default;

std::vector<ShellRequest> ShellWatch::Finish() {
  for (DWORD id : ThreadsOfProcess()) {
    if (g_before.count(id)) continue;
    if (HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id)) {
      WaitForSingleObject(thread, kThreadWaitMs);
      CloseHandle(thread);
    }
  }
  return {};
}

bool HasWindowSystem() { return true; }

}  // namespace qfhost

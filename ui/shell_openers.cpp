#include "ui/shell_openers.h"

#include <atomic>
#include <cstring>

#include "ui/plugin_globals.h"

namespace {

// Set by the requester before its worker starts, cleared by the worker when the
// shell has answered.
std::atomic<unsigned char> OpenerBusy{0};
uint32_t HelpPageIndex = 0;
char HelpFolder[1024];
char HelpPath[1024];

// Appends text when it fits with its terminating zero.
bool Append(char (&buffer)[1024], const char* text) {
  const size_t used = std::strlen(buffer);
  const size_t length = std::strlen(text);
  if (length >= sizeof(buffer) - used) return false;
  std::memcpy(buffer + used, text, length + 1);
  return true;
}

// Starts a worker unless one is with the shell; a worker that cannot start
// leaves the opener idle.
void StartWorker(LPTHREAD_START_ROUTINE worker, LPVOID parameter) {
  if (OpenerBusy.exchange(1)) return;
  HANDLE thread = CreateThread(nullptr, 0, worker, parameter, 0, nullptr);
  if (thread)
    CloseHandle(thread);  // not waited for
  else
    OpenerBusy = 0;
}

}  // namespace

DWORD WINAPI HelpPageThread(LPVOID /*parameter*/) {
  HelpFolder[0] = '\0';
  bool fits = Append(HelpFolder, PluginFolder);
  const size_t length = std::strlen(HelpFolder);
  if (fits && length > 1 && HelpFolder[length - 1] != '/' && HelpFolder[length - 1] != '\\')
    fits = Append(HelpFolder, "\\");
  fits = fits && Append(HelpFolder, "QuillFrame\\");
  HelpPath[0] = '\0';
  fits = fits && Append(HelpPath, HelpFolder) && Append(HelpPath, "quillframeae.html");
  // A path cut short would name another file: a folder too long opens nothing.
  if (fits) ShellExecuteA(HostMainWindow, "open", HelpPath, nullptr, nullptr, SW_SHOW);
  OpenerBusy = 0;
  return 0;
}

void OpenHelpPage(uint32_t page_index) {
  HelpPageIndex = page_index;
  StartWorker(HelpPageThread, nullptr);
}

DWORD WINAPI OpenUrlThread(LPVOID text) {
  ShellExecuteA(HostMainWindow, "open", static_cast<const char*>(text), nullptr, nullptr, SW_SHOW);
  OpenerBusy = 0;
  return 0;
}

void OpenUrl(const char* text) { StartWorker(OpenUrlThread, const_cast<char*>(text)); }

// Natively there is no window system: no main window, and the stand-in's shell
// opens nothing but reports every request to the host.
#include <mutex>

#include "qf_host/dialog_driver.h"
#include "windows.h"

namespace qfhost {
namespace {

std::mutex g_mutex;
std::vector<std::string> g_requests;

void Record(LPCSTR, LPCSTR file) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_requests.push_back(file);
}

}  // namespace

void* HostMainWindow() { return nullptr; }

ShellProbeLog::ShellProbeLog() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_requests.clear();
  }
  QFWatchShell(&Record);
}

ShellProbeLog::~ShellProbeLog() { QFWatchShell(nullptr); }

std::vector<std::string> ShellProbeLog::Requests() {
  QFWaitForThreads();
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::move(g_requests);
}

}  // namespace qfhost

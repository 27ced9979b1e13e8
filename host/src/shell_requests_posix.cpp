// The native build's shell is the stand-in's: it opens nothing, and lets the
// host see every request.
#include <mutex>

#include "shell_requests.h"
#include "windows.h"

namespace qfhost {
namespace {

std::mutex g_mutex;
std::vector<ShellRequest> g_requests;

void Record(LPCSTR verb, LPCSTR file) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_requests.push_back({verb, file});
}

}  // namespace

ShellWatch::ShellWatch() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_requests.clear();
  }
  QFWatchShell(&Record);
}

ShellWatch::~ShellWatch() { QFWatchShell(nullptr); }

std::vector<ShellRequest> ShellWatch::Finish() {
  QFWaitForThreads();
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::move(g_requests);
}

bool HasWindowSystem() { return false; }

}  // namespace qfhost

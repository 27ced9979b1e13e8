// Threads over std::thread. A thread runs detached; its handle is a number
// handed out once, so closing it twice or closing a foreign handle is refused.
// The threads still running are counted, so that a program can wait for them.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "windows.h"

namespace {

std::mutex g_mutex;
std::condition_variable g_thread_ended;
uintptr_t g_next_handle = 0x20000;
int g_running = 0;  // threads started and not yet returned

std::unordered_set<uintptr_t>& OpenHandles() {
  static auto* handles = new std::unordered_set<uintptr_t>;
  return *handles;
}

}  // namespace

QF_WIN32_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start,
                                 LPVOID parameter, DWORD, LPDWORD thread_id) {
  if (!start) return nullptr;
  uintptr_t id = 0;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_next_handle += 4;
    id = g_next_handle;
    OpenHandles().insert(id);
    ++g_running;
  }
  try {
    std::thread([start, parameter] {
      start(parameter);
      std::lock_guard<std::mutex> lock(g_mutex);
      --g_running;
      g_thread_ended.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> lock(g_mutex);
    OpenHandles().erase(id);
    --g_running;
    return nullptr;
  }
  if (thread_id) *thread_id = static_cast<DWORD>(id);
  return reinterpret_cast<HANDLE>(id);
}

QF_WIN32_API BOOL CloseHandle(HANDLE object) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return OpenHandles().erase(reinterpret_cast<uintptr_t>(object)) ? TRUE : FALSE;
}

QF_WIN32_API void QFWaitForThreads(void) {
  std::unique_lock<std::mutex> lock(g_mutex);
  g_thread_ended.wait(lock, [] { return g_running == 0; });
}

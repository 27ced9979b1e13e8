// Whole-page allocations over mmap: zero-filled and read-write, released as
// one reservation, as the plug-in's large working arrays expect.
#include <windows.h>

#include <sys/mman.h>

#include <map>
#include <mutex>

namespace {

// Registries live until the process ends: modules still loaded at exit run
// their unload code after static objects would have been destroyed.

std::mutex& Lock() {
  static auto* lock = new std::mutex();
  return *lock;
}
std::map<void*, size_t>& Reservations() {
  static auto* reservations = new std::map<void*, size_t>();
  return *reservations;
}

// Refuse sizes no machine here can back, rather than letting mmap overcommit.
constexpr SIZE_T kLargestAllocation = SIZE_T(1) << 40;

}  // namespace

LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD /*protect*/) {
  if (address != nullptr || size == 0 || size > kLargestAllocation) return nullptr;
  if (!(allocation_type & (MEM_COMMIT | MEM_RESERVE))) return nullptr;
  void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
  std::lock_guard<std::mutex> guard(Lock());
  Reservations()[block] = size;
  return block;
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type) {
  if (!address || free_type != MEM_RELEASE || size != 0) return FALSE;
  size_t length;
  {
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Reservations().find(address);
    if (it == Reservations().end()) return FALSE;
    length = it->second;
    Reservations().erase(it);
  }
  munmap(address, length);
  return TRUE;
}

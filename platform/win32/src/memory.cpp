// Page allocator: every reservation is its own anonymous mapping, committed
// read-write at once (so zero-filled), and remembered with its size so that a
// release frees exactly what was reserved. A reservation of a huge page or more
// starts on a huge-page boundary and asks for huge pages, so that its first
// touch costs one fault per huge page instead of one per page.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "windows.h"

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

std::mutex g_mutex;
std::unordered_map<void*, size_t>& Reservations() {
  static auto* map = new std::unordered_map<void*, size_t>;  // outlives every module's tear-down
  return *map;
}

void* Map(size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

// bytes (whole pages) of fresh read-write pages; a huge page or more is mapped
// with a huge page's room to spare and trimmed to start on a boundary.
void* MapPages(size_t bytes) {
  if (bytes < kHugePage) return Map(bytes);
  if (bytes > SIZE_MAX - kHugePage) return nullptr;
  auto* mapped = static_cast<char*>(Map(bytes + kHugePage));
  if (mapped == nullptr) return nullptr;
  const uintptr_t at = reinterpret_cast<uintptr_t>(mapped);
  char* start = mapped + ((kHugePage - at % kHugePage) % kHugePage);
  if (start != mapped) munmap(mapped, static_cast<size_t>(start - mapped));
  munmap(start + bytes, static_cast<size_t>(mapped + kHugePage - start));
  // Only advice: without huge pages the mapping works the same.
  madvise(start, bytes, MADV_HUGEPAGE);
  return start;
}

}  // namespace

QF_WIN32_API LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type,
                                 DWORD protect) {
  // Only fresh reservations are served: there is no committing inside an existing one.
  if (address || size == 0 || protect != PAGE_READWRITE) return nullptr;
  if ((allocation_type & MEM_COMMIT) == 0 || (allocation_type & ~(MEM_COMMIT | MEM_RESERVE)) != 0)
    return nullptr;
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  if (size > SIZE_MAX - (page - 1)) return nullptr;
  const size_t bytes = (size + page - 1) / page * page;
  void* p = MapPages(bytes);
  if (p == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(g_mutex);
  Reservations()[p] = bytes;
  return p;
}

QF_WIN32_API BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type) {
  if (!address || size != 0 || free_type != MEM_RELEASE) return FALSE;
  size_t bytes = 0;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = Reservations().find(address);
    if (it == Reservations().end()) return FALSE;
    bytes = it->second;
    Reservations().erase(it);
  }
  return munmap(address, bytes) == 0 ? TRUE : FALSE;
}

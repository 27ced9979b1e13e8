// Whole pages from the page allocator (VirtualAlloc, committed read-write and
// zero-filled), owned by one pointer that hands them back with VirtualFree when
// it lets go. Every page allocation of the plug-in lives in one of these.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

struct PageRelease {
  void operator()(void* pages) const noexcept { VirtualFree(pages, 0, MEM_RELEASE); }
};

template <typename T>
using PageArray = std::unique_ptr<T[], PageRelease>;

// count records of T on fresh pages; empty, without asking the allocator,
// when count is 0 or the size would overflow, and empty when it refuses.
template <typename T>
PageArray<T> AllocatePageArray(size_t count) {
  if (count == 0 || count > SIZE_MAX / sizeof(T)) return nullptr;
  return PageArray<T>(static_cast<T*>(
      VirtualAlloc(nullptr, count * sizeof(T), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
}

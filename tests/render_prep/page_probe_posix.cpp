// Over the stand-in: the program defines VirtualAlloc and VirtualFree itself
// and forwards to the stand-in's.
#include <dlfcn.h>
#include <windows.h>

#include <cstdlib>

#include "page_probe.h"

namespace {

template <typename Fn>
Fn Forward(const char* name) {
  void* next = dlsym(RTLD_NEXT, name);
  if (!next) std::abort();
  return reinterpret_cast<Fn>(next);
}

}  // namespace

extern "C" LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect) {
  static const auto next = Forward<LPVOID (*)(LPVOID, SIZE_T, DWORD, DWORD)>("VirtualAlloc");
  if (page_probe::Refuse(size)) return nullptr;
  LPVOID block = next(address, size, allocation_type, protect);
  page_probe::Allocated(block);
  return block;
}

extern "C" BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD free_type) {
  static const auto next = Forward<BOOL (*)(LPVOID, SIZE_T, DWORD)>("VirtualFree");
  page_probe::Released(address);
  return next(address, size, free_type);
}

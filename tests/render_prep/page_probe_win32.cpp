// The page probe on Windows: the program's calls to VirtualAlloc and
// VirtualFree go through its import table, so the probe rewrites those two
// entries at start-up to point at its own functions, which forward to the
// system's.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "page_probe.h"

namespace {

using AllocFn = LPVOID(WINAPI*)(LPVOID, SIZE_T, DWORD, DWORD);
using FreeFn = BOOL(WINAPI*)(LPVOID, SIZE_T, DWORD);
AllocFn g_next_alloc = nullptr;
FreeFn g_next_free = nullptr;

LPVOID WINAPI ProbeAlloc(LPVOID address, SIZE_T size, DWORD allocation_type, DWORD protect) {
  if (page_probe::Refuse(size)) return nullptr;
  LPVOID block = g_next_alloc(address, size, allocation_type, protect);
  page_probe::Allocated(block);
  return block;
}

BOOL WINAPI ProbeFree(LPVOID address, SIZE_T size, DWORD free_type) {
  page_probe::Released(address);
  return g_next_free(address, size, free_type);
}

// Points the program's import of `name` at `replacement`; returns the old target.
void* Redirect(const char* name, void* replacement) {
  auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       d->Name; ++d) {
    if (_stricmp(reinterpret_cast<const char*>(base + d->Name), "kernel32.dll") != 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return previous;
    }
  }
  std::abort();  // the program imports no such function
}

const bool g_installed = [] {
  g_next_alloc =
      reinterpret_cast<AllocFn>(Redirect("VirtualAlloc", reinterpret_cast<void*>(&ProbeAlloc)));
  g_next_free =
      reinterpret_cast<FreeFn>(Redirect("VirtualFree", reinterpret_cast<void*>(&ProbeFree)));
  return true;
}();

}  // namespace

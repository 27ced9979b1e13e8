// Modules are shared objects. A module's instance handle is the address at
// which the loader mapped it, the same value dladdr reports as an address's
// object base, so a module finds its own handle from any of its addresses.
#include <dlfcn.h>
#include <link.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "module_internal.h"

namespace {

std::mutex g_mutex;
// Each LoadLibraryA of a module adds one loader handle; FreeLibrary gives one back.
std::unordered_map<HMODULE, std::vector<void*>>& Loaded() {
  static auto* map = new std::unordered_map<HMODULE, std::vector<void*>>;
  return *map;
}

void* LoaderHandle(HMODULE module) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Loaded().find(module);
  return it == Loaded().end() ? nullptr : it->second.back();
}

int FirstObjectAddress(dl_phdr_info* info, size_t, void* out) {
  // The loader reports the executable first.
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
      *static_cast<const void**>(out) =
          reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
      break;
    }
  }
  return 1;
}

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

// The module's full file path, or empty when the handle is no module's.
std::string ModulePath(HMODULE module) {
  const HINSTANCE main = QFMainModuleInstance();
  if (!module || module == main) return ExecutablePath();
  Dl_info info;
  if (!dladdr(module, &info) || info.dli_fbase != module || !info.dli_fname) return std::string();
  if (info.dli_fname[0] == '/') return info.dli_fname;
  char* full = realpath(info.dli_fname, nullptr);
  if (!full) return info.dli_fname;
  std::string path(full);
  std::free(full);
  return path;
}

}  // namespace

HINSTANCE QFMainModuleInstance() {
  const void* address = nullptr;
  dl_iterate_phdr(FirstObjectAddress, &address);
  return address ? QFModuleFromAddress(address) : nullptr;
}

QF_WIN32_API HINSTANCE QFModuleFromAddress(const void* address) {
  Dl_info info;
  if (!address || !dladdr(address, &info)) return nullptr;
  return static_cast<HINSTANCE>(info.dli_fbase);
}

QF_WIN32_API HMODULE LoadLibraryA(LPCSTR path) {
  if (!path) return nullptr;
  // The module's constructors, and so its module entry, run inside dlopen.
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  link_map* map = nullptr;
  Dl_info info;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !dladdr(map->l_ld, &info)) {
    dlclose(handle);
    return nullptr;
  }
  HMODULE module = static_cast<HMODULE>(info.dli_fbase);
  std::lock_guard<std::mutex> lock(g_mutex);
  Loaded()[module].push_back(handle);
  return module;
}

QF_WIN32_API FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!name || IS_INTRESOURCE(name)) return nullptr;  // no exports by ordinal
  void* handle = LoaderHandle(module);
  if (!handle) return nullptr;
  return reinterpret_cast<FARPROC>(dlsym(handle, name));
}

QF_WIN32_API BOOL FreeLibrary(HMODULE module) {
  void* handle = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = Loaded().find(module);
    if (it == Loaded().end()) return FALSE;
    handle = it->second.back();
    it->second.pop_back();
    if (it->second.empty()) Loaded().erase(it);
  }
  // Outside the lock: the module's destructors call back into this library.
  return dlclose(handle) == 0 ? TRUE : FALSE;
}

QF_WIN32_API DWORD GetModuleFileNameA(HMODULE module, LPSTR filename, DWORD size) {
  if (!filename || size == 0) return 0;
  const std::string path = ModulePath(module);
  if (path.empty()) {
    filename[0] = '\0';
    return 0;
  }
  if (path.size() >= size) {
    std::memcpy(filename, path.data(), size - 1);
    filename[size - 1] = '\0';
    return size;
  }
  std::memcpy(filename, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

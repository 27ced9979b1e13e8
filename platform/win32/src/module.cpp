// Modules: loading, symbol lookup and file paths. A module's instance handle
// is its load address, so any address inside it leads back to the module.
#include <windows.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

// Registries live until the process ends: modules still loaded at exit run
// their unload code after static objects would have been destroyed.

std::mutex& Lock() {
  static auto* lock = new std::mutex();
  return *lock;
}
// dlopen handles of the modules loaded through LoadLibraryA.
std::map<HMODULE, void*>& Loaded() {
  static auto* loaded = new std::map<HMODULE, void*>();
  return *loaded;
}

std::string MainExecutablePath() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return std::string();
  return std::string(path, static_cast<size_t>(n));
}

// The load address of a loaded object: the page start of its first segment.
uintptr_t BaseOf(const dl_phdr_info* info) {
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
      uintptr_t start = info->dlpi_addr + info->dlpi_phdr[i].p_vaddr;
      return start & ~uintptr_t(getpagesize() - 1);
    }
  }
  return 0;
}

struct PathSearch {
  uintptr_t base;
  bool found;
  std::string path;  // empty for the main program, which is listed without a name
};

int FindByBase(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<PathSearch*>(data);
  if (BaseOf(info) != search->base) return 0;
  search->found = true;
  if (info->dlpi_name) search->path = info->dlpi_name;
  return 1;
}

}  // namespace

HINSTANCE QFModuleFromAddress(const void* address) {
  Dl_info info;
  if (!address || !dladdr(address, &info) || !info.dli_fbase) return nullptr;
  return static_cast<HINSTANCE>(info.dli_fbase);
}

HMODULE LoadLibraryA(LPCSTR path) {
  if (!path) return nullptr;
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  // The module's dynamic section lies inside it, so it leads to the load address.
  link_map* map = nullptr;
  HMODULE module = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map) module = QFModuleFromAddress(map->l_ld);
  if (!module) {
    dlclose(handle);
    return nullptr;
  }
  std::lock_guard<std::mutex> guard(Lock());
  if (Loaded().count(module)) {
    dlclose(handle);  // already loaded through us: one reference is enough
  } else {
    Loaded()[module] = handle;
  }
  return module;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!module || !name) return nullptr;
  void* handle;
  {
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Loaded().find(module);
    if (it == Loaded().end()) return nullptr;
    handle = it->second;
  }
  return reinterpret_cast<FARPROC>(dlsym(handle, name));
}

BOOL FreeLibrary(HMODULE module) {
  void* handle;
  {
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Loaded().find(module);
    if (it == Loaded().end()) return FALSE;
    handle = it->second;
    Loaded().erase(it);
  }
  return dlclose(handle) == 0 ? TRUE : FALSE;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR filename, DWORD size) {
  if (!filename || size == 0) return 0;
  std::string path;
  if (module == nullptr) {
    path = MainExecutablePath();
  } else {
    PathSearch search{reinterpret_cast<uintptr_t>(module), false, std::string()};
    dl_iterate_phdr(FindByBase, &search);
    if (!search.found) {
      filename[0] = '\0';
      return 0;
    }
    path = search.path.empty() ? MainExecutablePath() : search.path;
  }
  DWORD length = static_cast<DWORD>(path.size());
  if (length >= size) length = size - 1;
  std::memcpy(filename, path.data(), length);
  filename[length] = '\0';
  return length;
}

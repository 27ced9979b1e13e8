// Compiled resources, looked up by module, name and type as FindResourceA does.
#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>


namespace {

// Registries live until the process ends: modules still loaded at exit run
// their unload code after static objects would have been destroyed.

std::mutex& Lock() {
  static auto* lock = new std::mutex();
  return *lock;
}
std::map<HINSTANCE, const QFResourceTable*>& Tables() {
  static auto* tables = new std::map<HINSTANCE, const QFResourceTable*>();
  return *tables;
}

bool TypeMatches(const QFResourceEntry& entry, LPCSTR type) {
  if (IS_INTRESOURCE(type)) return !entry.type_name && entry.type == reinterpret_cast<uintptr_t>(type);
  return entry.type_name && std::strcmp(entry.type_name, type) == 0;
}

}  // namespace

void QFRegisterModuleResources(HINSTANCE instance, const QFResourceTable* table) {
  std::lock_guard<std::mutex> guard(Lock());
  if (table) {
    Tables()[instance] = table;
  } else {
    Tables().erase(instance);
  }
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (!name || !type || !IS_INTRESOURCE(name)) return nullptr;
  std::lock_guard<std::mutex> guard(Lock());
  auto it = Tables().find(module);
  if (it == Tables().end()) return nullptr;
  const QFResourceTable* table = it->second;
  for (size_t i = 0; i < table->count; ++i) {
    const QFResourceEntry& entry = table->entries[i];
    if (entry.id == reinterpret_cast<uintptr_t>(name) && TypeMatches(entry, type)) {
      return reinterpret_cast<HRSRC>(const_cast<QFResourceEntry*>(&entry));
    }
  }
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) { return resource; }

LPVOID LockResource(HGLOBAL resource_data) {
  if (!resource_data) return nullptr;
  return const_cast<unsigned char*>(static_cast<const QFResourceEntry*>(resource_data)->data);
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
  if (!resource) return 0;
  return reinterpret_cast<const QFResourceEntry*>(resource)->size;
}

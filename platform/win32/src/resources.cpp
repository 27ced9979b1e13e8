// Resources: each module registers the table that the resource compiler built
// for it. A resource handle is the address of its table entry, which is
// checked against the module's table before use.
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unordered_map>

#include "module_internal.h"

namespace {

std::mutex g_mutex;
std::unordered_map<HINSTANCE, const QFResourceTable*>& Tables() {
  static auto* map = new std::unordered_map<HINSTANCE, const QFResourceTable*>;
  return *map;
}

// A resource name or type as the caller gave it: an integer id, or a text.
struct ResourceKey {
  bool is_id = false;
  uintptr_t id = 0;
  std::string text;  // upper case
};

ResourceKey ParseKey(LPCSTR key) {
  ResourceKey k;
  if (IS_INTRESOURCE(key)) {
    k.is_id = true;
    k.id = reinterpret_cast<uintptr_t>(key);
    return k;
  }
  if (key[0] == '#' && std::isdigit(static_cast<unsigned char>(key[1]))) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(key + 1, &end, 10);
    if (*end == '\0' && id <= 0xFFFF) {
      k.is_id = true;
      k.id = id;
      return k;
    }
  }
  for (const char* c = key; *c; ++c)
    k.text += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  return k;
}

bool TypeMatches(const QFResourceEntry& e, const ResourceKey& type) {
  if (!e.type_name) return type.is_id && e.type == type.id;
  if (type.is_id) return false;
  const char* a = e.type_name;
  size_t i = 0;
  for (; a[i] && i < type.text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != type.text[i]) return false;
  return a[i] == '\0' && i == type.text.size();
}

HINSTANCE OrMain(HMODULE module) { return module ? module : QFMainModuleInstance(); }

// The entry behind a handle, when it is one of the module's resources.
const QFResourceEntry* EntryOf(HMODULE module, HRSRC resource) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Tables().find(OrMain(module));
  if (it == Tables().end() || !resource) return nullptr;
  const QFResourceTable& t = *it->second;
  for (size_t i = 0; i < t.count; ++i)
    if (reinterpret_cast<HRSRC>(const_cast<QFResourceEntry*>(&t.entries[i])) == resource)
      return &t.entries[i];
  return nullptr;
}

}  // namespace

QF_WIN32_API void QFRegisterModuleResources(HINSTANCE instance, const QFResourceTable* table) {
  if (!instance) return;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (table)
    Tables()[instance] = table;
  else
    Tables().erase(instance);
}

QF_WIN32_API HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (!name || !type) return nullptr;
  const ResourceKey n = ParseKey(name);
  const ResourceKey t = ParseKey(type);
  if (!n.is_id) return nullptr;  // compiled resources carry integer ids only
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Tables().find(OrMain(module));
  if (it == Tables().end()) return nullptr;
  const QFResourceTable& table = *it->second;
  for (size_t i = 0; i < table.count; ++i) {
    const QFResourceEntry& e = table.entries[i];
    if (e.id == n.id && TypeMatches(e, t))
      return reinterpret_cast<HRSRC>(const_cast<QFResourceEntry*>(&e));
  }
  return nullptr;
}

QF_WIN32_API HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  const QFResourceEntry* e = EntryOf(module, resource);
  return e ? const_cast<unsigned char*>(e->data) : nullptr;
}

// Resource data stays where the module holds it, so locking hands back the pointer.
QF_WIN32_API LPVOID LockResource(HGLOBAL resource_data) { return resource_data; }

QF_WIN32_API DWORD SizeofResource(HMODULE module, HRSRC resource) {
  const QFResourceEntry* e = EntryOf(module, resource);
  return e ? e->size : 0;
}

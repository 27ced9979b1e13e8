// Linked into every deliverable: the module's start-up and tear-down, in the
// place of the runtime's DLL start-up. On load it registers the module's
// compiled resources under its own instance and calls the module entry with
// process attach; on unload, process detach and the table goes away.
#include "windows.h"

extern "C" __attribute__((visibility("hidden"))) const QFResourceTable qf_module_resources;
extern "C" BOOL ModuleEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

HINSTANCE OwnInstance() { return QFModuleFromAddress(reinterpret_cast<const void*>(&OwnInstance)); }

__attribute__((constructor)) void ModuleStart() {
  const HINSTANCE self = OwnInstance();
  QFRegisterModuleResources(self, &qf_module_resources);
  ModuleEntryPoint(self, DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void ModuleStop() {
  const HINSTANCE self = OwnInstance();
  ModuleEntryPoint(self, DLL_PROCESS_DETACH, nullptr);
  QFRegisterModuleResources(self, nullptr);
}

}  // namespace

// Load-time start of a module that carries compiled resources: registers its
// resource table under its instance handle and runs its module entry, as the
// Windows loader would on process attach.
#include <windows.h>

extern "C" __attribute__((visibility("hidden"))) const QFResourceTable qf_module_resources;
extern "C" BOOL ModuleEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

HINSTANCE ThisModule() {
  return QFModuleFromAddress(reinterpret_cast<const void*>(&ThisModule));
}

__attribute__((constructor)) void StartModule() {
  HINSTANCE instance = ThisModule();
  QFRegisterModuleResources(instance, &qf_module_resources);
  ModuleEntryPoint(instance, DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void StopModule() {
  ModuleEntryPoint(ThisModule(), DLL_PROCESS_DETACH, nullptr);
  QFRegisterModuleResources(ThisModule(), nullptr);
}

}  // namespace

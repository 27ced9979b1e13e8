// A tiny module started by qf_module_start, carrying one build's resources:
// it records what its module entry was told, for the tests to ask.
#include "windows.h"

#define PROBE_API extern "C" __attribute__((visibility("default")))

extern "C" __attribute__((visibility("hidden"))) const QFResourceTable qf_module_resources;

namespace {
HINSTANCE g_attached = nullptr;
int g_attach_calls = 0;
void (*g_detach_watcher)(HINSTANCE) = nullptr;
}  // namespace

extern "C" BOOL ModuleEntryPoint(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_attached = instance;
    ++g_attach_calls;
  } else if (reason == DLL_PROCESS_DETACH && g_detach_watcher) {
    g_detach_watcher(instance);
  }
  return TRUE;
}

PROBE_API HINSTANCE ProbeAttachedInstance() { return g_attached; }
PROBE_API int ProbeAttachCalls() { return g_attach_calls; }
PROBE_API const QFResourceTable* ProbeResources() { return &qf_module_resources; }
PROBE_API void ProbeWatchDetach(void (*watcher)(HINSTANCE)) { g_detach_watcher = watcher; }

// Shared set-up of the entry-point tests: the test program itself plays the
// deliverable's module, with the build's compiled resources registered under it.
#pragma once

#include <windows.h>

#include "effect/entry.h"

extern "C" const QFResourceTable qf_module_resources;

inline HINSTANCE AttachTestModule() {
  static HINSTANCE instance = [] {
    HINSTANCE self = QFModuleFromAddress(reinterpret_cast<const void*>(&AttachTestModule));
    QFRegisterModuleResources(self, &qf_module_resources);
    ModuleEntryPoint(self, DLL_PROCESS_ATTACH, nullptr);
    return self;
  }();
  return instance;
}

// On Windows the build's resources are linked into the program's own resource
// section, so the program's instance is the module.
#include "entry_test_support.h"

HINSTANCE AttachTestModule() {
  static HINSTANCE instance = [] {
    HINSTANCE self = GetModuleHandleA(nullptr);
    ModuleEntryPoint(self, DLL_PROCESS_ATTACH, nullptr);
    return self;
  }();
  return instance;
}

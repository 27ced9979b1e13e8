// Over the stand-in: the build's resource table is registered under the
// program's own instance, then the module entry sees process attach.
#include "entry_test_support.h"

extern "C" const QFResourceTable qf_module_resources;

HINSTANCE AttachTestModule() {
  static HINSTANCE instance = [] {
    HINSTANCE self = QFModuleFromAddress(reinterpret_cast<const void*>(&AttachTestModule));
    QFRegisterModuleResources(self, &qf_module_resources);
    ModuleEntryPoint(self, DLL_PROCESS_ATTACH, nullptr);
    return self;
  }();
  return instance;
}

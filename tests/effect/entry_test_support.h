// Shared set-up of the entry-point tests: the test program itself plays the
// deliverable's module, with the build's compiled resources as its own.
#pragma once

#include <windows.h>

#include "effect/entry.h"

// The build's entry point, as the module exports it.
extern "C" PF_Err EntryPointFunc(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*,
                                 void*);

// Attaches the test program as the module (once) and returns its instance.
// One source per platform: test_module_posix.cpp, test_module_win32.cpp.
HINSTANCE AttachTestModule();

// Shared set-up of the entry-point tests: the test program itself plays the
// deliverable's module, with the build's compiled resources as its own.
#pragma once

#include <windows.h>

#include "effect/entry.h"

// Attaches the test program as the module (once) and returns its instance.
// One source per platform: test_module_posix.cpp, test_module_win32.cpp.
HINSTANCE AttachTestModule();

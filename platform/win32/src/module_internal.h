// Module facts shared between the areas of the library.
#pragma once

#include "windows.h"

// The instance handle (load address) of the running executable.
HINSTANCE QFMainModuleInstance();

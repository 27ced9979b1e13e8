// What loading a deliverable needs of the operating system, one source file
// per platform: module_loader_posix.cpp (over the Windows stand-in) and
// module_loader_win32.cpp.
#pragma once

#include <filesystem>
#include <string>

#include "windows.h"

namespace qfhost {

// The folder of the running executable. Throws HostError when it cannot be found.
std::filesystem::path ExecutableFolder();

// Whether the file can be opened for reading.
bool FileReadable(const std::string& path);

// Loads the module (its DLL entry runs before this returns). On failure it
// returns null and sets `reason` to the loader's own words, or to nothing.
HMODULE LoadModule(const std::string& path, std::string& reason);

}  // namespace qfhost

#include <dlfcn.h>
#include <unistd.h>

#include <system_error>

#include "module_loader.h"
#include "qf_host/host_error.h"

namespace qfhost {

std::filesystem::path ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) throw HostError("cannot find the running executable: " + ec.message());
  return exe.parent_path();
}

bool FileReadable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

HMODULE LoadModule(const std::string& path, std::string& reason) {
  dlerror();  // the stand-in loads through dlopen, which keeps the reason
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    const char* why = dlerror();
    reason = why ? why : "";
  }
  return module;
}

}  // namespace qfhost

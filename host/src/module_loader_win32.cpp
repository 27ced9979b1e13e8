#include <cstdio>
#include <vector>

#include "module_loader.h"
#include "qf_host/host_error.h"

namespace qfhost {

std::filesystem::path ExecutableFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0)
      throw HostError("cannot find the running executable: error " +
                      std::to_string(GetLastError()));
    if (n < buffer.size())
      return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
}

bool FileReadable(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

HMODULE LoadModule(const std::string& path, std::string& reason) {
  // No message box for a file that is no module; the failure comes back as an error.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(path.c_str());
  const DWORD error = GetLastError();
  SetErrorMode(previous);
  if (!module) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    reason = n && text ? std::string(text, n) : "error " + std::to_string(error);
    if (text) LocalFree(text);
    // One line: the system's text ends in a full stop and a line break.
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.'))
      reason.pop_back();
  }
  return module;
}

}  // namespace qfhost

// qf-shell-probe: stands in for the browser in the test prefix. With
// --register it makes itself the handler of .html files and of http and https
// addresses; started by the shell with a file or address, it appends it as a
// line to the file that QF_SHELL_PROBE_LOG names.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool SetDefault(const char* key, const std::string& value) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

int Register() {
  char self[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, self, MAX_PATH)) return 1;
  const std::string command = std::string("\"") + self + "\" \"%1\"";
  bool ok =
      SetDefault(".html", "htmlfile") && SetDefault("htmlfile\\shell\\open\\command", command);
  for (const char* scheme : {"http", "https"}) {
    const std::string key = scheme;
    // A DDE conversation would go to the browser the prefix came with.
    RegDeleteTreeA(HKEY_CLASSES_ROOT, (key + "\\shell\\open\\ddeexec").c_str());
    ok = ok && SetDefault(scheme, std::string("URL:") + scheme) &&
         SetDefault((key + "\\shell\\open\\command").c_str(), command);
  }
  std::printf(ok ? "registered %s\n" : "cannot register %s\n", self);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--register") == 0) return Register();
  char log[MAX_PATH];
  if (argc < 2 || !GetEnvironmentVariableA("QF_SHELL_PROBE_LOG", log, MAX_PATH)) return 0;
  FILE* out = std::fopen(log, "a");
  if (!out) return 1;
  std::fprintf(out, "%s\n", argv[1]);
  std::fclose(out);
  return 0;
}

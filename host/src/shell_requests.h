// What an effect hands to the desktop while the host watches: the files and
// addresses its worker threads give the shell, and whether there is a window
// system at all. One source file per platform.
#pragma once

#include <string>
#include <vector>

namespace qfhost {

struct ShellRequest {
  std::string verb;  // "open"
  std::string file;  // a path or an address
};

// Watches from construction. One watch at a time.
class ShellWatch {
 public:
  ShellWatch();
  ~ShellWatch();
  ShellWatch(const ShellWatch&) = delete;
  ShellWatch& operator=(const ShellWatch&) = delete;

  // Waits for the threads started since the watch began to finish, and
  // returns the requests that reached the shell meanwhile. Natively every
  // request is listed (there is no shell to take it); on Windows the shell
  // takes them itself and the list is empty.
  std::vector<ShellRequest> Finish();
};

// False in the native build: no window, dialog or desktop can be shown.
bool HasWindowSystem();

}  // namespace qfhost

// Natively there is no window system: no main window and no shell to watch.
#include "qf_host/dialog_driver.h"

namespace qfhost {

void* HostMainWindow() { return nullptr; }

ShellProbeLog::ShellProbeLog() = default;
ShellProbeLog::~ShellProbeLog() = default;
std::vector<std::string> ShellProbeLog::Requests() { return {}; }

}  // namespace qfhost

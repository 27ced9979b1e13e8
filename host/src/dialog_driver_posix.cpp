// The native build has no window system: no dialog is ever shown, so there is
// nothing to play events on.
#include "qf_host/dialog_driver.h"

namespace qfhost {

struct DialogDriver::State {};

bool HasDialogWindows() { return false; }

DialogDriver::DialogDriver(void*, std::vector<DialogEvent>, std::string) : state_(new State) {}
DialogDriver::~DialogDriver() = default;
DialogDriver::Outcome DialogDriver::Finish() { return {}; }

}  // namespace qfhost

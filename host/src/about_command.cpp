#include <cstdio>
#include <fstream>
#include <iterator>

#include "qf_host/deliverable.h"
#include "qf_host/dialog_driver.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {

int RunAbout(const std::string& target, const std::string& output, const std::string& events_file) {
  if (!HasDialogWindows())
    throw HostError("about: this build has no window system to show the dialog on");
  std::vector<DialogEvent> events;
  if (!events_file.empty()) {
    std::ifstream in(events_file, std::ios::binary);
    if (!in) throw HostError(events_file + ": cannot be read");
    events = ReadDialogEvents(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  HostSession host;
  host.set_main_window(static_cast<HWND>(HostMainWindow()));
  auto deliverable = Deliverable::Load(target);
  LoadedEffect effect(host, deliverable);
  if (effect.GlobalSetup() != PF_Err_NONE) throw HostError("global set-up failed");
  ShellProbeLog shell;
  DialogDriver driver(host.main_window(), std::move(events), output);
  const PF_Err err = effect.Send(PF_Cmd_ABOUT);
  const DialogDriver::Outcome outcome = driver.Finish();
  for (const std::string& request : shell.Requests()) std::printf("open: %s\n", request.c_str());
  effect.GlobalSetdown();
  if (err != PF_Err_NONE) throw HostError("about failed with error " + std::to_string(err));
  if (!outcome.shown) throw HostError("about: the effect showed no dialog");
  if (!outcome.error.empty()) throw HostError(outcome.error);
  if (outcome.closed_by_host)
    std::printf("the dialog was still open: snapped to %s and closed with Escape\n",
                output.c_str());
  else
    std::printf("the dialog ended by itself\n");
  return 0;
}

}  // namespace qfhost

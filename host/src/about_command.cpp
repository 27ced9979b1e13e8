#include <cstdio>

#include "qf_host/deliverable.h"
#include "qf_host/dialog_driver.h"
#include "qf_host/host_error.h"
#include "qf_host/host_session.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {

DialogDriver::Outcome RunWithDialogDriver(void* owner, std::vector<DialogEvent> events,
                                          const std::string& final_snapshot,
                                          const std::function<void()>& command) {
  ShellProbeLog shell;
  DialogDriver driver(owner, std::move(events), final_snapshot);
  command();
  const DialogDriver::Outcome outcome = driver.Finish();
  for (const std::string& request : shell.Requests()) std::printf("open: %s\n", request.c_str());
  return outcome;
}

void ReportDialogEnd(const DialogDriver::Outcome& outcome, const std::string& final_snapshot) {
  if (!outcome.error.empty()) throw HostError(outcome.error);
  if (!outcome.closed_by_host)
    std::printf("the dialog ended by itself\n");
  else if (final_snapshot.empty())
    std::printf("the dialog was still open: closed with Escape\n");
  else
    std::printf("the dialog was still open: snapped to %s and closed with Escape\n",
                final_snapshot.c_str());
}

int RunAbout(const std::string& target, const std::string& output, const std::string& events_file) {
  if (!HasDialogWindows())
    throw HostError("about: this build has no window system to show the dialog on");
  std::vector<DialogEvent> events = ReadDialogEventsFile(events_file);
  HostSession host;
  host.set_main_window(static_cast<HWND>(HostMainWindow()));
  auto deliverable = Deliverable::Load(target);
  LoadedEffect effect(host, deliverable);
  if (effect.GlobalSetup() != PF_Err_NONE) throw HostError("global set-up failed");
  PF_Err err = PF_Err_NONE;
  const DialogDriver::Outcome outcome = RunWithDialogDriver(
      host.main_window(), std::move(events), output, [&] { err = effect.Send(PF_Cmd_ABOUT); });
  effect.GlobalSetdown();
  if (err != PF_Err_NONE) throw HostError("about failed with error " + std::to_string(err));
  if (!outcome.shown) throw HostError("about: the effect showed no dialog");
  ReportDialogEnd(outcome, output);
  return 0;
}

}  // namespace qfhost

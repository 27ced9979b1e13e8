#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output_os.h"

namespace qfhost {
namespace {

void OnSignal(int signal) { InterruptArrived(128 + signal); }

}  // namespace

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

bool RenameOver(const char* from, const char* to, std::string* why) {
  if (std::rename(from, to) == 0) return true;
  *why = std::strerror(errno);
  return false;
}

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;  // a file being written while held goes on
  sigemptyset(&action.sa_mask);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, s);  // one at a time
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
}

void EndInterrupted(int status) {
  // Only async-signal-safe calls.
  const InterruptPlan& plan = TheInterruptPlan();
  if (plan.kept_partial[0] != '\0') rename(plan.kept_partial, plan.kept_target);
  const ssize_t written = write(STDERR_FILENO, plan.note, strlen(plan.note));
  static_cast<void>(written);
  _exit(status);
}

}  // namespace qfhost

// What complete outputs need of the operating system, one source file per
// platform: output_os_posix.cpp and output_os_win32.cpp.
#pragma once

#include <string>

namespace qfhost {

unsigned long ProcessId();

// Renames `from` onto `to`, replacing a file there. False on failure, with
// the system's reason in `why`.
bool RenameOver(const char* from, const char* to, std::string* why);

// What an interrupt does, kept where a signal handler can read it without
// allocating: the note to write and the file to put in place.
struct InterruptPlan {
  char note[1024];
  char kept_partial[4096];
  char kept_target[4096];
};
InterruptPlan& TheInterruptPlan();

// Installs the handler, which calls InterruptArrived with the exit status.
void InstallInterruptHandler();
// Called by the handler (output_file.cpp): ends the process now, or when the
// hold that lives ends.
void InterruptArrived(int status);
// Carries the plan out and ends the process; safe in a signal handler.
[[noreturn]] void EndInterrupted(int status);

}  // namespace qfhost

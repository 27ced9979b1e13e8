// Output files are whole or absent: each is written under a temporary name in
// its target's folder and renamed into place once complete, so an error, a
// crash or an interrupt never leaves part of one under the name asked for.
#pragma once

#include <string>

namespace qfhost {

// The temporary name a file for `target` is written under: "<target>.<pid>.partial".
std::string PartialName(const std::string& target);

// Renames the complete file `partial` onto `target`, replacing any file there.
// On failure removes `partial` and throws HostError "cannot write TARGET: why".
void PutInPlace(const std::string& partial, const std::string& target);

// Whether two paths name one file, however written: "x.png" and "./x.png",
// a path through a symbolic link, or two links to one existing file.
bool SameFile(const std::string& a, const std::string& b);

// Interrupts (Ctrl-C, a request to terminate). Once EndOnInterrupt has run,
// an interrupt ends the process at once with status 130: it writes the note
// last set to standard error, puts the kept file in place and exits. While an
// InterruptHold lives the interrupt waits, so a file being written and put in
// place is never cut off.
void EndOnInterrupt();

class InterruptHold {
 public:
  InterruptHold();
  ~InterruptHold();
  InterruptHold(const InterruptHold&) = delete;
  InterruptHold& operator=(const InterruptHold&) = delete;

  // The line written on an interrupt ("qf-host: interrupted" until set).
  void SetNote(const std::string& line);
  // A file put in place on an interrupt; empty names keep none.
  void SetKept(const std::string& partial, const std::string& target);
};

}  // namespace qfhost

// A user's hand on the modal dialog that a command opens: a thread of the host
// finds the dialog once it is shown over the host's main window, plays events
// on it through the system's own input (so hit testing, capture and hover are
// the system's), snaps its pixels to PNG files and, when the events run out
// with the dialog still open, snaps it once more and closes it with Escape.
// Start a driver before the command that may open a dialog; Finish after it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qfhost {

struct DialogEvent {
  enum Kind { kMove, kDown, kUp, kClick, kKey, kWait, kSnap } kind = kMove;
  int x = 0, y = 0;      // dialog client coordinates (move, click)
  bool enter = false;    // key: Enter, else Escape
  int milliseconds = 0;  // wait
  std::string file;      // snap
};

// Reads an events file's text, one event a line: "move X Y", "down", "up",
// "click X Y", "key esc|enter", "wait MS", "snap FILE.png"; blank lines and
// lines starting with '#' are skipped. Throws HostError naming the line.
std::vector<DialogEvent> ReadDialogEvents(const std::string& text);
// The same from a file; no events for an empty name.
std::vector<DialogEvent> ReadDialogEventsFile(const std::string& file);

// False in the native build: no window, dialog or desktop can be shown.
bool HasDialogWindows();

class DialogDriver {
 public:
  // The host's main window that the dialog is owned by (a window handle), the
  // events to play, and the file that the dialog still open at the end is
  // snapped to (none if empty).
  DialogDriver(void* owner, std::vector<DialogEvent> events, std::string final_snapshot);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  struct Outcome {
    bool shown = false;           // a dialog appeared
    bool closed_by_host = false;  // the events ran out with it open: snapped and closed
    std::string error;            // a snap that could not be written, a dialog that would not close
  };
  // Call when the command has returned: stops looking for a dialog that never
  // came and waits for the player.
  Outcome Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace qfhost

namespace qfhost {

// The host's main window, made on first use on the calling thread, with the
// common controls registered as a host process has them (so tooltips can be
// made); null natively.
void* HostMainWindow();

// The files and addresses handed to the shell while it lives. On Windows the
// test prefix's probe program records them: this names the probe's log for the
// programs the shell starts. Natively the stand-in's shell reports each one.
class ShellProbeLog {
 public:
  ShellProbeLog();
  ~ShellProbeLog();
  ShellProbeLog(const ShellProbeLog&) = delete;
  ShellProbeLog& operator=(const ShellProbeLog&) = delete;

  // Waits for the threads started since the log began and for the probes
  // they started, then returns the files and addresses the shell was given.
  std::vector<std::string> Requests();

 private:
  std::string path_;
};

// Runs `command`, which may open a modal dialog over `owner`, with a driver
// playing `events` on it (see DialogDriver), and prints "open: X" for each
// shell request recorded meanwhile.
DialogDriver::Outcome RunWithDialogDriver(void* owner, std::vector<DialogEvent> events,
                                          const std::string& final_snapshot,
                                          const std::function<void()>& command);
// Says how a dialog that appeared ended; throws HostError for the driver's error.
void ReportDialogEnd(const DialogDriver::Outcome& outcome, const std::string& final_snapshot);

// `qf-host about`: runs the deliverable's about command over the host's main
// window with a driver playing the events; the dialog still open at the end
// is snapped to `output` and closed. Prints "open: X" for each shell request
// recorded. Throws HostError natively and when no dialog appeared.
int RunAbout(const std::string& target, const std::string& output, const std::string& events_file);

}  // namespace qfhost

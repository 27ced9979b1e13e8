#include <fstream>
#include <iterator>
#include <sstream>

#include "qf_host/dialog_driver.h"
#include "qf_host/host_error.h"
#include "text_numbers.h"

namespace qfhost {

std::vector<DialogEvent> ReadDialogEvents(const std::string& text) {
  std::vector<DialogEvent> events;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty() || w[0][0] == '#') continue;
    const auto fail = [&](const std::string& why) {
      return HostError("events line " + std::to_string(number) + ": " + why);
    };
    const auto whole = [&](const std::string& word, long long max) {
      long long v = 0;
      if (!ParseWhole(word, &v) || v < 0 || v > max)
        throw fail("'" + word + "' is not a number from 0 to " + std::to_string(max));
      return static_cast<int>(v);
    };
    DialogEvent e;
    const std::string& verb = w[0];
    if ((verb == "move" || verb == "click") && w.size() == 3) {
      e.kind = verb == "move" ? DialogEvent::kMove : DialogEvent::kClick;
      e.x = whole(w[1], 32767);
      e.y = whole(w[2], 32767);
    } else if ((verb == "down" || verb == "up") && w.size() == 1) {
      e.kind = verb == "down" ? DialogEvent::kDown : DialogEvent::kUp;
    } else if (verb == "key" && w.size() == 2 && (w[1] == "esc" || w[1] == "enter")) {
      e.kind = DialogEvent::kKey;
      e.enter = w[1] == "enter";
    } else if (verb == "wait" && w.size() == 2) {
      e.kind = DialogEvent::kWait;
      e.milliseconds = whole(w[1], 60000);
    } else if (verb == "snap" && w.size() == 2) {
      e.kind = DialogEvent::kSnap;
      e.file = w[1];
    } else {
      throw fail("'" + line +
                 "' is not an event (move X Y, down, up, click X Y, key esc|enter, wait MS, snap "
                 "FILE.png)");
    }
    events.push_back(e);
  }
  return events;
}

std::vector<DialogEvent> ReadDialogEventsFile(const std::string& file) {
  if (file.empty()) return {};
  std::ifstream in(file, std::ios::binary);
  if (!in) throw HostError(file + ": cannot be read");
  return ReadDialogEvents(
      std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace qfhost

#include "qf_host/frame_range.h"

#include <cmath>
#include <cstdio>

#include "qf_host/host_error.h"
#include "text_numbers.h"

namespace qfhost {
namespace {

// "0:15", "12:03", "1:02:03".
std::string Duration(double seconds) {
  const long long s = std::llround(seconds);
  char buf[48];
  if (s >= 3600)
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 60, s % 60);
  return buf;
}

}  // namespace

FrameRange ParseFrameRange(const std::string& text) {
  const std::string s = Trim(text);
  const size_t dash = s.find('-', 1);
  FrameRange r;
  const bool whole = dash != std::string::npos && s[0] != '-' && s[0] != '+' &&
                     s[dash + 1] != '-' && s[dash + 1] != '+' &&
                     ParseWhole(s.substr(0, dash), &r.first) &&
                     ParseWhole(s.substr(dash + 1), &r.last);
  if (!whole) throw HostError("--frames: '" + s + "' is not a range A-B of frame numbers from 0");
  if (r.last < r.first)
    throw HostError("--frames: the range " + s + " ends before it begins (B must be at least A)");
  return r;
}

OutputPattern::OutputPattern(const std::string& text) {
  std::string* part = &before_;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *part += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '%') {
      *part += '%';
      ++i;
      continue;
    }
    // %d or %0Nd
    size_t j = i + 1;
    int width = 0;
    if (j < text.size() && text[j] == '0') {
      ++j;
      // "%0" needs a width after it.
      if (j >= text.size() || text[j] < '1' || text[j] > '9')
        j = text.size();
      else
        width = text[j++] - '0';
    }
    if (j >= text.size() || text[j] != 'd')
      throw HostError("-o: '" + text +
                      "' has a '%' that is no number field (%d, %04d) and no '%%'");
    if (has_field_) throw HostError("-o: '" + text + "' has more than one number field");
    has_field_ = true;
    width_ = width;
    part = &after_;
    i = j;
  }
}

std::string OutputPattern::FileFor(long long frame) const {
  if (!has_field_) return before_;
  char number[32];
  std::snprintf(number, sizeof number, "%0*lld", width_, frame);
  return before_ + number + after_;
}

long long OutputPattern::FrameOf(const std::string& file) const {
  if (!has_field_) return file == before_ ? 0 : -1;
  if (file.size() <= before_.size() + after_.size() ||
      file.compare(0, before_.size(), before_) != 0 ||
      file.compare(file.size() - after_.size(), after_.size(), after_) != 0)
    return -1;
  const std::string digits =
      file.substr(before_.size(), file.size() - before_.size() - after_.size());
  long long frame = 0;
  if (digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  for (char c : digits) frame = frame * 10 + (c - '0');
  return FileFor(frame) == file ? frame : -1;
}

std::string ProgressText(long long frame, long long done, long long total, double elapsed,
                         int bar_width) {
  std::string text =
      "frame " + std::to_string(frame) + "  " + std::to_string(done) + "/" + std::to_string(total);
  if (bar_width > 0) {
    const long long filled = total > 0 ? done * bar_width / total : 0;
    text += "  [" + std::string(static_cast<size_t>(filled), '#') +
            std::string(static_cast<size_t>(bar_width - filled), '.') + "]";
  }
  char rate[48] = "-- fps";
  std::string left = "--:--";
  if (done > 0 && elapsed > 0) {
    const double fps = done / elapsed;
    std::snprintf(rate, sizeof rate, "%.*f fps", fps < 10 ? 2 : 1, fps);
    left = Duration((total - done) / fps);
  }
  return text + "  " + rate + "  " + left + " left";
}

}  // namespace qfhost

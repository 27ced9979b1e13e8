// A run of frames as the command line names it: the range, the output files
// the frames go to, and the progress line shown while they render.
#pragma once

#include <string>

namespace qfhost {

struct FrameRange {
  long long first = 0;
  long long last = 0;
  long long count() const { return last - first + 1; }
};

// "A-B" with whole numbers 0 <= A <= B. Throws HostError.
FrameRange ParseFrameRange(const std::string& text);

// An output file name with at most one number field, printf's "%d" or
// "%0Nd" (N up to 9), filled with the frame number; "%%" stands for '%'.
class OutputPattern {
 public:
  // Throws HostError for any other '%' and for a second number field.
  explicit OutputPattern(const std::string& text);

  bool has_field() const { return has_field_; }
  std::string FileFor(long long frame) const;
  // The frame whose file name is exactly `file`, or -1 when none is.
  long long FrameOf(const std::string& file) const;

 private:
  std::string before_, after_;  // around the field, '%%' already made '%'
  bool has_field_ = false;
  int width_ = 0;  // zero-padded to this many digits
};

// The progress of a range after `done` of `total` frames, the last of them
// `frame`, `elapsed` seconds after the first began: frame number, count, a
// bar of `bar_width` cells (none when 0), frames per second and the time
// left, e.g. "frame 12  13/48  [#####.....]  2.4 fps  0:15 left".
std::string ProgressText(long long frame, long long done, long long total, double elapsed,
                         int bar_width);

}  // namespace qfhost

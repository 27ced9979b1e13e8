#include "qf_host/frame_time.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>

#include "qf_host/host_error.h"
#include "text_numbers.h"

namespace qfhost {

FrameRate ParseFrameRate(const std::string& text) {
  double fps = 0;
  if (!ParseDecimal(text, &fps) || !(fps > 0) || fps > 1000)
    throw HostError("--fps: '" + Trim(text) + "' is not a frame rate above 0 and at most 1000");
  // Thousandths of a frame a second make the ticks; the fraction reduced.
  const long long thousandths = std::llround(fps * 1000);
  if (thousandths == 0 || std::fabs(fps * 1000 - static_cast<double>(thousandths)) > 1e-6)
    throw HostError("--fps: '" + Trim(text) + "' has more than three decimals");
  const long long divisor = std::gcd(thousandths, 1000LL);
  return FrameRate{static_cast<A_u_long>(thousandths / divisor),
                   static_cast<A_long>(1000 / divisor)};
}

FrameTime TimeOfFrame(long long frame, long long frames, FrameRate rate) {
  const long long current = frame * rate.time_step;
  const long long total = frames * rate.time_step;
  if (frame < 0 || frames < 1 || current > INT32_MAX || total > INT32_MAX)
    throw HostError("frame " + std::to_string(frame) +
                    " lies beyond the host's time count at this frame rate (the last is frame " +
                    std::to_string(INT32_MAX / rate.time_step - 1) + ")");
  FrameTime t;
  t.current_time = static_cast<A_long>(current);
  t.time_step = rate.time_step;
  t.time_scale = rate.time_scale;
  t.total_time = static_cast<A_long>(total);
  return t;
}

double Seconds(A_long time, A_u_long time_scale) { return static_cast<double>(time) / time_scale; }

KeyTime ParseKeyTime(const std::string& text) {
  std::string s = Trim(text);
  KeyTime t;
  t.seconds = !s.empty() && s.back() == 's';
  if (t.seconds) s.pop_back();
  if (!ParseDecimal(s, &t.value))
    throw HostError("'" + Trim(text) + "' is not a number of frames (12) or of seconds (0.5s)");
  return t;
}

double ToSeconds(KeyTime time, FrameRate rate) {
  return time.seconds ? time.value : time.value * rate.time_step / rate.time_scale;
}

long long FrameAt(KeyTime time, FrameRate rate) {
  char written[48];
  std::snprintf(written, sizeof written, time.seconds ? "%gs" : "%g", time.value);
  if (time.value < 0)
    throw HostError(std::string("time ") + written + " lies before the first frame");
  // A small allowance, so that 0.1s at 30 frames a second is frame 3, not 2.
  const double frame =
      time.seconds ? std::floor(time.value * rate.time_scale / rate.time_step + 1e-9) : time.value;
  if (frame != std::floor(frame))
    throw HostError(std::string("frame ") + written + " is not a whole frame");
  if (frame > INT32_MAX)
    throw HostError(std::string("time ") + written + " lies beyond the host's time count");
  return static_cast<long long>(frame);
}

}  // namespace qfhost

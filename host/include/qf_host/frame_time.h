// Time as the host counts it: current_time and time_step in ticks of which
// time_scale make a second, frames at a fixed rate, and the times a person
// writes: a frame number ("12") or seconds ("0.5s").
#pragma once

#include <string>

#include "AE_Effect.h"

namespace qfhost {

// When a frame is rendered, in the host's time units: current_time and
// time_step count ticks of which time_scale make a second.
struct FrameTime {
  A_long current_time = 0;
  A_long time_step = 1;
  A_u_long time_scale = 30;
  A_long total_time = 1;  // the layer's duration
};

// A frame rate as ticks: every frame lasts time_step ticks, and time_scale
// ticks make a second (24 frames a second: 1 of 24; 29.97: 100 of 2997).
struct FrameRate {
  A_u_long time_scale = 24;
  A_long time_step = 1;
};

// "24", "30", "29.97", "23.976": above 0, at most 1000, with at most three
// decimals. Throws HostError.
FrameRate ParseFrameRate(const std::string& text);

// Frame `frame` (from 0) of a layer `frames` frames long. Throws HostError
// when either time is beyond the host's 32-bit tick count.
FrameTime TimeOfFrame(long long frame, long long frames, FrameRate rate);

// A host time in seconds; time_scale is above 0.
double Seconds(A_long time, A_u_long time_scale);

// A time as a person writes it: frames, or seconds with a trailing 's'.
struct KeyTime {
  double value = 0;
  bool seconds = false;
};

// "12", "12.5", "-3" (frames) or "0.5s", "2s" (seconds). Throws HostError.
KeyTime ParseKeyTime(const std::string& text);

// The time in seconds at `rate`.
double ToSeconds(KeyTime time, FrameRate rate);

// The frame a time falls in: a frame number must be whole, seconds fall in
// the frame that has begun by then. Throws HostError for a time before 0 or
// a frame number with a fraction.
long long FrameAt(KeyTime time, FrameRate rate);

}  // namespace qfhost

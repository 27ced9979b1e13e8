// The page probe's count, shared by the platform's way of taking over the
// allocator (page_probe_posix.cpp, page_probe_win32.cpp).
#include "page_probe.h"

#include <set>

namespace {

struct State {
  std::set<void*> live;
  int taken = 0;
  size_t last_size = 0;
  int fail_at = 0;
};

State& Probe() {
  static State state;
  return state;
}

}  // namespace

namespace page_probe {

bool Refuse(size_t size) {
  State& state = Probe();
  state.last_size = size;
  return ++state.taken == state.fail_at;
}
void Allocated(void* block) {
  if (block) Probe().live.insert(block);
}
void Released(void* block) { Probe().live.erase(block); }

int Live() { return static_cast<int>(Probe().live.size()); }
int Taken() { return Probe().taken; }
size_t LastSize() { return Probe().last_size; }
void FailAt(int call) { Probe().fail_at = call; }
void Reset() {
  Probe().taken = 0;
  Probe().fail_at = 0;
}

}  // namespace page_probe

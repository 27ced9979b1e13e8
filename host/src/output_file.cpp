#include "qf_host/output_file.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "output_os.h"
#include "qf_host/host_error.h"

namespace qfhost {
namespace fs = std::filesystem;

namespace {

// Copies text into a fixed buffer, cut to fit; an empty text leaves it empty.
template <size_t N>
void CopyInto(char (&buffer)[N], const std::string& text) {
  std::snprintf(buffer, N, "%s", text.c_str());
}

}  // namespace

std::string PartialName(const std::string& target) {
  return target + "." + std::to_string(ProcessId()) + ".partial";
}

void PutInPlace(const std::string& partial, const std::string& target) {
  std::string why;
  if (RenameOver(partial.c_str(), target.c_str(), &why)) return;
  std::remove(partial.c_str());
  throw HostError("cannot write " + target + ": " + why);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ea, eb;
  if (fs::equivalent(a, b, ea) && !ea) return true;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a), ea);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b), eb);
  return !ea && !eb && ca == cb;
}

InterruptPlan& TheInterruptPlan() {
  static InterruptPlan plan = {"qf-host: interrupted\n", "", ""};
  return plan;
}

namespace {

// kFree, kHeld, or the exit status of an interrupt that waits for the hold.
constexpr int kFree = -1, kHeld = 0;
std::atomic<int> g_hold{kFree};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads it");

}  // namespace

void InterruptArrived(int status) {
  int state = g_hold.load();
  while (state != kFree) {
    if (state != kHeld) return;  // one is waiting already
    if (g_hold.compare_exchange_weak(state, status)) return;
  }
  EndInterrupted(status);
}

void EndOnInterrupt() { InstallInterruptHandler(); }

InterruptHold::InterruptHold() { g_hold.store(kHeld); }

InterruptHold::~InterruptHold() {
  const int waiting = g_hold.exchange(kFree);
  if (waiting > 0) EndInterrupted(waiting);
}

void InterruptHold::SetNote(const std::string& line) {
  CopyInto(TheInterruptPlan().note, line + "\n");
}

void InterruptHold::SetKept(const std::string& partial, const std::string& target) {
  CopyInto(TheInterruptPlan().kept_partial, partial);
  CopyInto(TheInterruptPlan().kept_target, target);
}

}  // namespace qfhost

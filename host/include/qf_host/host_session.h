// The host application as the plug-in sees it: the utility callbacks and
// handles, the basic suite and the suites behind it, and a record of every
// misuse the host noticed. One session can run several effects at once.
//
// Callbacks without an effect reference (handles, suites, ANSI helpers) reach
// the session that is running a command on the calling thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "SPBasic.h"
#include "windows.h"

namespace qfhost {

class LoadedEffect;
struct HostCallbacks;

// Host calls that a test can make fail.
enum class HostCall {
  kAddParam,         // returns the given error
  kRegisterUI,       // returns the given error
  kCheckoutParam,    // returns the given error
  kNewHandle,        // returns no handle
  kGetPlatformData,  // returns the given error
  kAcquireSuite,     // refuses the suite
  kUpdateParamUI,    // returns the given error, changes nothing
};
constexpr int kHostCallCount = 7;
const char* HostCallName(HostCall call);  // "add_param", "host_new_handle", ...
std::optional<HostCall> HostCallFromName(const std::string& name);

struct SuiteKey {
  std::string name;
  int32_t version = 0;
  bool operator<(const SuiteKey& other) const {
    return name != other.name ? name < other.name : version < other.version;
  }
};

struct SuiteUse {
  int acquired = 0;  // successful acquisitions
  int released = 0;
  int refused = 0;   // acquisitions that found no suite
};

struct HandleState {
  uint64_t size = 0;
  int locks = 0;
  bool disposed = false;
};

// One PF_UpdateParamUI call, with the definition as the plug-in passed it.
struct ParamUIUpdate {
  const LoadedEffect* effect = nullptr;
  PF_ParamIndex index = 0;
  PF_ParamDef def{};
};

class HostSession {
 public:
  HostSession();
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // ---- Failure injection ----
  // The nth call (1-based, counted over the session's life) of `call` fails.
  void FailCall(HostCall call, int nth, PF_Err err = PF_Err_OUT_OF_MEMORY);
  int CallCount(HostCall call) const { return call_counts_[static_cast<int>(call)]; }

  // ---- Misuse the host noticed, in order ----
  const std::vector<std::string>& errors() const { return errors_; }
  void RecordError(const std::string& message);
  void ClearErrors() { errors_.clear(); }

  // ---- Suites ----
  // Makes a suite table available through the basic suite (or replaces it).
  void ProvideSuite(const std::string& name, int32_t version, const void* table);
  void WithdrawSuite(const std::string& name, int32_t version);
  const std::map<SuiteKey, SuiteUse>& suite_uses() const { return suite_uses_; }
  // Suites acquired more often than released, as "name vN (acquired a, released r)".
  std::vector<std::string> UnreleasedSuites() const;
  const std::vector<ParamUIUpdate>& param_ui_updates() const { return param_ui_updates_; }

  // ---- Handles ----
  size_t live_handle_count() const;
  // Empty for a pointer the session never handed out.
  std::optional<HandleState> handle_state(PF_Handle handle) const;

  // The window handle that get_platform_data reports as the main window.
  HWND main_window() const;

  // Records handed to the plug-in.
  PF_UtilCallbacks* utils() { return &utils_; }
  SPBasicSuite* basic_suite() { return &basic_suite_; }

 private:
  friend class LoadedEffect;
  friend struct HostCallbacks;

  struct HandleRecord {
    void* data = nullptr;  // PF_Handle points here
    HandleState state;
  };
  struct Failure {
    HostCall call;
    int nth;
    PF_Err err;
  };

  // Counts the call and tells whether it is to fail (and with what).
  std::optional<PF_Err> NextCallFails(HostCall call);
  HandleRecord* FindHandle(PF_Handle handle, const char* caller);
  LoadedEffect* FindEffect(PF_ProgPtr effect_ref, const char* caller);

  PF_UtilCallbacks utils_{};
  SPBasicSuite basic_suite_{};
  PF_ParamUtilsSuite2 param_utils_{};
  PF_PathQuerySuite1 path_query_{};
  PF_PathDataSuite1 path_data_{};

  int call_counts_[kHostCallCount] = {};
  std::vector<Failure> failures_;
  std::vector<std::string> errors_;
  std::map<SuiteKey, const void*> suites_;
  std::map<SuiteKey, SuiteUse> suite_uses_;
  std::vector<ParamUIUpdate> param_ui_updates_;
  // Records stay after disposal so that a second disposal is recognised.
  std::map<PF_Handle, std::unique_ptr<HandleRecord>> handles_;
  std::set<LoadedEffect*> effects_;
};

}  // namespace qfhost

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

class HostSession;
class LoadedEffect;
class PanelSuites;

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
  int refused = 0;  // acquisitions that found no suite
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

// The handles the session hands out. Records stay after disposal so that a
// second disposal is recognised; misuse goes to the session's record.
class HandleTable {
 public:
  explicit HandleTable(HostSession& host) : host_(host) {}
  ~HandleTable();
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  PF_Handle New(uint64_t size);  // null when out of memory
  void* Lock(PF_Handle handle);
  void Unlock(PF_Handle handle);
  void Dispose(PF_Handle handle);
  uint64_t Size(PF_Handle handle);

  size_t live_count() const;
  std::optional<HandleState> state(PF_Handle handle) const;

 private:
  struct Record {
    void* data = nullptr;  // PF_Handle points here
    HandleState state;
  };
  // The record of a live handle, or null with the misuse recorded.
  Record* Find(PF_Handle handle, const char* caller);

  HostSession& host_;
  std::map<PF_Handle, std::unique_ptr<Record>> records_;
};

// The suite tables the basic suite hands out, and how often each was
// acquired and released.
class SuiteTable {
 public:
  explicit SuiteTable(HostSession& host) : host_(host) {}

  void Provide(const std::string& name, int32_t version, const void* table);
  void Withdraw(const std::string& name, int32_t version);
  // `refused`: the host refuses this acquisition even when it has the suite.
  SPErr Acquire(const char* name, int32_t version, bool refused, const void** suite);
  SPErr Release(const char* name, int32_t version);

  const std::map<SuiteKey, SuiteUse>& uses() const { return uses_; }
  std::vector<std::string> Unreleased() const;

 private:
  HostSession& host_;
  std::map<SuiteKey, const void*> tables_;
  std::map<SuiteKey, SuiteUse> uses_;
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
  void ProvideSuite(const std::string& name, int32_t version, const void* table) {
    suites_.Provide(name, version, table);
  }
  void WithdrawSuite(const std::string& name, int32_t version) { suites_.Withdraw(name, version); }
  const std::map<SuiteKey, SuiteUse>& suite_uses() const { return suites_.uses(); }
  // Suites acquired more often than released, as "name vN (acquired a, released r)".
  std::vector<std::string> UnreleasedSuites() const { return suites_.Unreleased(); }
  const std::vector<ParamUIUpdate>& param_ui_updates() const { return param_ui_updates_; }
  void RecordParamUIUpdate(const ParamUIUpdate& update) { param_ui_updates_.push_back(update); }

  // ---- Handles ----
  size_t live_handle_count() const { return handles_.live_count(); }
  // Empty for a pointer the session never handed out.
  std::optional<HandleState> handle_state(PF_Handle handle) const { return handles_.state(handle); }

  // The window handle that get_platform_data reports as the main window: a
  // token, unless the host has a real window to report.
  HWND main_window() const;
  void set_main_window(HWND window) { main_window_ = window; }

  // Records handed to the plug-in.
  PF_UtilCallbacks* utils() { return &utils_; }
  SPBasicSuite* basic_suite() { return &basic_suite_; }

  // ---- What the callbacks reach ----
  // Counts the call and tells whether it is to fail (and with what).
  std::optional<PF_Err> NextCallFails(HostCall call);
  // The effect `effect_ref` names, or null with the misuse recorded.
  LoadedEffect* FindEffect(PF_ProgPtr effect_ref, const char* caller);
  HandleTable& handles() { return handles_; }
  SuiteTable& suites() { return suites_; }
  PanelSuites& panel_suites() { return *panel_suites_; }

 private:
  friend class LoadedEffect;  // an effect joins the session for its lifetime

  struct Failure {
    HostCall call;
    int nth;
    PF_Err err;
  };

  PF_UtilCallbacks utils_{};
  SPBasicSuite basic_suite_{};
  PF_ParamUtilsSuite2 param_utils_{};
  PF_PathQuerySuite1 path_query_{};
  PF_PathDataSuite1 path_data_{};

  int call_counts_[kHostCallCount] = {};
  std::vector<Failure> failures_;
  std::vector<std::string> errors_;
  SuiteTable suites_{*this};
  std::vector<ParamUIUpdate> param_ui_updates_;
  HandleTable handles_{*this};
  std::set<LoadedEffect*> effects_;
  std::unique_ptr<PanelSuites> panel_suites_;  // the custom areas' drawing and App suites
  HWND main_window_ = nullptr;
};

}  // namespace qfhost

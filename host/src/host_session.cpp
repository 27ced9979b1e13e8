#include "qf_host/host_session.h"

#include <cstdlib>
#include <iostream>

#include "host_callbacks.h"
#include "panel_suites.h"
#include "qf_host/loaded_effect.h"

namespace qfhost {
namespace {

thread_local HostSession* g_active = nullptr;

const char* const kHostCallNames[kHostCallCount] = {
    "add_param",         "register_ui",  "checkout_param",   "host_new_handle",
    "get_platform_data", "AcquireSuite", "PF_UpdateParamUI",
};

// Any distinct non-null value serves: the plug-in only passes it on.
HWND const kMainWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4D41494E));

std::string SuiteText(const char* name, int32_t version) {
  return std::string("\"") + (name ? name : "(null)") + "\" v" + std::to_string(version);
}

}  // namespace

const char* HostCallName(HostCall call) { return kHostCallNames[static_cast<int>(call)]; }

std::optional<HostCall> HostCallFromName(const std::string& name) {
  for (int i = 0; i < kHostCallCount; ++i)
    if (name == kHostCallNames[i]) return static_cast<HostCall>(i);
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// HostSession

HostSession::HostSession() {
  utils_.ansi.strcpy = &HandleCallbacks::AnsiStrcpy;
  utils_.ansi.sprintf = &HandleCallbacks::AnsiSprintf;
  utils_.host_new_handle = &HandleCallbacks::NewHandle;
  utils_.host_lock_handle = &HandleCallbacks::LockHandle;
  utils_.host_unlock_handle = &HandleCallbacks::UnlockHandle;
  utils_.host_dispose_handle = &HandleCallbacks::DisposeHandle;
  utils_.host_get_handle_size = &HandleCallbacks::GetHandleSize;
  utils_.get_platform_data = &HandleCallbacks::GetPlatformData;

  basic_suite_.AcquireSuite = &SuiteCallbacks::AcquireSuite;
  basic_suite_.ReleaseSuite = &SuiteCallbacks::ReleaseSuite;
  basic_suite_.IsEqual = &SuiteCallbacks::IsEqual;
  basic_suite_.AllocateBlock = &SuiteCallbacks::AllocateBlock;
  basic_suite_.FreeBlock = &SuiteCallbacks::FreeBlock;
  basic_suite_.ReallocateBlock = &SuiteCallbacks::ReallocateBlock;
  basic_suite_.Undefined = &SuiteCallbacks::Undefined;

  param_utils_.PF_UpdateParamUI = &ParamCallbacks::UpdateParamUI;
  ProvideSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2, &param_utils_);

  path_query_.PF_NumPaths = &PathCallbacks::NumPaths;
  path_query_.PF_PathInfo = &PathCallbacks::PathInfo;
  path_query_.PF_CheckoutPath = &PathCallbacks::CheckoutPath;
  path_query_.PF_CheckinPath = &PathCallbacks::CheckinPath;
  ProvideSuite(kPFPathQuerySuite, kPFPathQuerySuiteVersion1, &path_query_);

  path_data_.PF_PathIsOpen = &PathCallbacks::PathIsOpen;
  path_data_.PF_PathNumSegments = &PathCallbacks::PathNumSegments;
  path_data_.PF_PathVertexInfo = &PathCallbacks::PathVertexInfo;
  path_data_.PF_PathIsInverted = &PathCallbacks::PathIsInverted;
  ProvideSuite(kPFPathDataSuite, kPFPathDataSuiteVersion1, &path_data_);

  panel_suites_ = std::make_unique<PanelSuites>(*this);
}

HostSession::~HostSession() = default;

void HostSession::FailCall(HostCall call, int nth, PF_Err err) {
  failures_.push_back({call, nth, err});
}

std::optional<PF_Err> HostSession::NextCallFails(HostCall call) {
  const int n = ++call_counts_[static_cast<int>(call)];
  for (const Failure& f : failures_)
    if (f.call == call && f.nth == n) return f.err;
  return std::nullopt;
}

void HostSession::RecordError(const std::string& message) { errors_.push_back(message); }

HWND HostSession::main_window() const { return main_window_ ? main_window_ : kMainWindow; }

LoadedEffect* HostSession::FindEffect(PF_ProgPtr effect_ref, const char* caller) {
  LoadedEffect* effect = reinterpret_cast<LoadedEffect*>(effect_ref);
  if (effects_.count(effect) == 0) {
    RecordError(std::string(caller) + ": unknown effect reference");
    return nullptr;
  }
  return effect;
}

// ---------------------------------------------------------------------------
// SuiteTable

void SuiteTable::Provide(const std::string& name, int32_t version, const void* table) {
  tables_[SuiteKey{name, version}] = table;
}

void SuiteTable::Withdraw(const std::string& name, int32_t version) {
  tables_.erase(SuiteKey{name, version});
}

SPErr SuiteTable::Acquire(const char* name, int32_t version, bool refused, const void** suite) {
  SuiteUse& use = uses_[SuiteKey{name, version}];
  auto it = tables_.find(SuiteKey{name, version});
  if (refused || it == tables_.end()) {
    ++use.refused;
    return kSPSuiteNotFoundError;
  }
  ++use.acquired;
  *suite = it->second;
  return kSPNoError;
}

SPErr SuiteTable::Release(const char* name, int32_t version) {
  auto it = uses_.find(SuiteKey{name, version});
  if (it == uses_.end() || it->second.released >= it->second.acquired) {
    host_.RecordError("ReleaseSuite: " + SuiteText(name, version) +
                      " released more often than acquired");
    return kSPSuiteNotFoundError;
  }
  ++it->second.released;
  return kSPNoError;
}

std::vector<std::string> SuiteTable::Unreleased() const {
  std::vector<std::string> out;
  for (const auto& [key, use] : uses_)
    if (use.acquired != use.released)
      out.push_back(SuiteText(key.name.c_str(), key.version) + " (acquired " +
                    std::to_string(use.acquired) + ", released " + std::to_string(use.released) +
                    ")");
  return out;
}

// ---------------------------------------------------------------------------
// HandleTable

HandleTable::~HandleTable() {
  for (auto& entry : records_) std::free(entry.second->data);
}

PF_Handle HandleTable::New(uint64_t size) {
  auto record = std::make_unique<Record>();
  // Never zero bytes, so that every live handle has its own block.
  record->data = std::malloc(size ? size : 1);
  if (!record->data) return nullptr;
  record->state.size = size;
  PF_Handle handle = &record->data;
  records_[handle] = std::move(record);
  return handle;
}

HandleTable::Record* HandleTable::Find(PF_Handle handle, const char* caller) {
  auto it = records_.find(handle);
  if (it == records_.end()) {
    host_.RecordError(std::string(caller) + ": not a host handle");
    return nullptr;
  }
  if (it->second->state.disposed) {
    host_.RecordError(std::string(caller) + ": handle already disposed");
    return nullptr;
  }
  return it->second.get();
}

void* HandleTable::Lock(PF_Handle handle) {
  Record* r = Find(handle, "host_lock_handle");
  if (!r) return nullptr;
  ++r->state.locks;
  return r->data;
}

void HandleTable::Unlock(PF_Handle handle) {
  Record* r = Find(handle, "host_unlock_handle");
  if (!r) return;
  if (r->state.locks == 0) {
    host_.RecordError("host_unlock_handle: handle is not locked");
    return;
  }
  --r->state.locks;
}

void HandleTable::Dispose(PF_Handle handle) {
  Record* r = Find(handle, "host_dispose_handle");
  if (!r) return;
  std::free(r->data);
  r->data = nullptr;
  r->state.disposed = true;
}

uint64_t HandleTable::Size(PF_Handle handle) {
  Record* r = Find(handle, "host_get_handle_size");
  return r ? r->state.size : 0;
}

size_t HandleTable::live_count() const {
  size_t n = 0;
  for (const auto& entry : records_) n += entry.second->state.disposed ? 0 : 1;
  return n;
}

std::optional<HandleState> HandleTable::state(PF_Handle handle) const {
  auto it = records_.find(handle);
  if (it == records_.end()) return std::nullopt;
  return it->second->state;
}

// ---------------------------------------------------------------------------
// How a callback finds its session and effect

ActiveScope::ActiveScope(HostSession* session) : previous_(g_active) { g_active = session; }
ActiveScope::~ActiveScope() { g_active = previous_; }

HostSession* ActiveSession(const char* caller) {
  if (!g_active) std::cerr << "qf-host: " << caller << " called while no command is running\n";
  return g_active;
}

EffectCall LookUpEffect(PF_ProgPtr effect_ref, const char* caller) {
  HostSession* s = ActiveSession(caller);
  LoadedEffect* e = s ? s->FindEffect(effect_ref, caller) : nullptr;
  return e ? EffectCall{s, e} : EffectCall{};
}

}  // namespace qfhost

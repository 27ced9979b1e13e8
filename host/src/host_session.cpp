#include "qf_host/host_session.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "host_callbacks.h"
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
  utils_.ansi.strcpy = &HostCallbacks::AnsiStrcpy;
  utils_.ansi.sprintf = &HostCallbacks::AnsiSprintf;
  utils_.host_new_handle = &HostCallbacks::NewHandle;
  utils_.host_lock_handle = &HostCallbacks::LockHandle;
  utils_.host_unlock_handle = &HostCallbacks::UnlockHandle;
  utils_.host_dispose_handle = &HostCallbacks::DisposeHandle;
  utils_.host_get_handle_size = &HostCallbacks::GetHandleSize;
  utils_.get_platform_data = &HostCallbacks::GetPlatformData;

  basic_suite_.AcquireSuite = &HostCallbacks::AcquireSuite;
  basic_suite_.ReleaseSuite = &HostCallbacks::ReleaseSuite;
  basic_suite_.IsEqual = &HostCallbacks::IsEqual;
  basic_suite_.AllocateBlock = &HostCallbacks::AllocateBlock;
  basic_suite_.FreeBlock = &HostCallbacks::FreeBlock;
  basic_suite_.ReallocateBlock = &HostCallbacks::ReallocateBlock;
  basic_suite_.Undefined = &HostCallbacks::Undefined;

  param_utils_.PF_UpdateParamUI = &HostCallbacks::UpdateParamUI;
  ProvideSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2, &param_utils_);

  path_query_.PF_NumPaths = &HostCallbacks::NumPaths;
  path_query_.PF_PathInfo = &HostCallbacks::PathInfo;
  path_query_.PF_CheckoutPath = &HostCallbacks::CheckoutPath;
  path_query_.PF_CheckinPath = &HostCallbacks::CheckinPath;
  ProvideSuite(kPFPathQuerySuite, kPFPathQuerySuiteVersion1, &path_query_);

  path_data_.PF_PathIsOpen = &HostCallbacks::PathIsOpen;
  path_data_.PF_PathNumSegments = &HostCallbacks::PathNumSegments;
  path_data_.PF_PathVertexInfo = &HostCallbacks::PathVertexInfo;
  path_data_.PF_PathIsInverted = &HostCallbacks::PathIsInverted;
  ProvideSuite(kPFPathDataSuite, kPFPathDataSuiteVersion1, &path_data_);
}

HostSession::~HostSession() {
  for (auto& entry : handles_) std::free(entry.second->data);
}

void HostSession::FailCall(HostCall call, int nth, PF_Err err) { failures_.push_back({call, nth, err}); }

std::optional<PF_Err> HostSession::NextCallFails(HostCall call) {
  const int n = ++call_counts_[static_cast<int>(call)];
  for (const Failure& f : failures_)
    if (f.call == call && f.nth == n) return f.err;
  return std::nullopt;
}

void HostSession::RecordError(const std::string& message) { errors_.push_back(message); }

void HostSession::ProvideSuite(const std::string& name, int32_t version, const void* table) {
  suites_[SuiteKey{name, version}] = table;
}

void HostSession::WithdrawSuite(const std::string& name, int32_t version) {
  suites_.erase(SuiteKey{name, version});
}

std::vector<std::string> HostSession::UnreleasedSuites() const {
  std::vector<std::string> out;
  for (const auto& [key, use] : suite_uses_)
    if (use.acquired != use.released)
      out.push_back(SuiteText(key.name.c_str(), key.version) + " (acquired " + std::to_string(use.acquired) +
                    ", released " + std::to_string(use.released) + ")");
  return out;
}

size_t HostSession::live_handle_count() const {
  size_t n = 0;
  for (const auto& entry : handles_) n += entry.second->state.disposed ? 0 : 1;
  return n;
}

std::optional<HandleState> HostSession::handle_state(PF_Handle handle) const {
  auto it = handles_.find(handle);
  if (it == handles_.end()) return std::nullopt;
  return it->second->state;
}

HWND HostSession::main_window() const { return kMainWindow; }

HostSession::HandleRecord* HostSession::FindHandle(PF_Handle handle, const char* caller) {
  auto it = handles_.find(handle);
  if (it == handles_.end()) {
    RecordError(std::string(caller) + ": not a host handle");
    return nullptr;
  }
  if (it->second->state.disposed) {
    RecordError(std::string(caller) + ": handle already disposed");
    return nullptr;
  }
  return it->second.get();
}

LoadedEffect* HostSession::FindEffect(PF_ProgPtr effect_ref, const char* caller) {
  LoadedEffect* effect = reinterpret_cast<LoadedEffect*>(effect_ref);
  if (effects_.count(effect) == 0) {
    RecordError(std::string(caller) + ": unknown effect reference");
    return nullptr;
  }
  return effect;
}

// ---------------------------------------------------------------------------
// Callbacks

HostCallbacks::ActiveScope::ActiveScope(HostSession* session) : previous_(g_active) { g_active = session; }
HostCallbacks::ActiveScope::~ActiveScope() { g_active = previous_; }

HostSession* HostCallbacks::Active(const char* caller) {
  if (!g_active)
    std::cerr << "qf-host: " << caller << " called while no command is running\n";
  return g_active;
}

PF_Err HostCallbacks::CheckoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long,
                                    A_u_long time_scale, PF_ParamDef* param) {
  HostSession* s = Active("checkout_param");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "checkout_param") : nullptr;
  if (!e) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = s->NextCallFails(HostCall::kCheckoutParam)) {
    e->FailedCheckout(param);
    return *err;
  }
  return e->Checkout(index, param, e->CallbackSeconds(what_time, time_scale, "checkout_param"));
}

PF_Err HostCallbacks::CheckinParam(PF_ProgPtr effect_ref, PF_ParamDef* param) {
  HostSession* s = Active("checkin_param");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "checkin_param") : nullptr;
  return e ? e->Checkin(param) : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err HostCallbacks::AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
  HostSession* s = Active("add_param");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "add_param") : nullptr;
  if (!e) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = s->NextCallFails(HostCall::kAddParam)) return *err;
  if (!def) {
    s->RecordError("add_param: no definition");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return e->AddParam(index, *def);
}

PF_Err HostCallbacks::Abort(PF_ProgPtr) { return PF_Err_NONE; }
PF_Err HostCallbacks::Progress(PF_ProgPtr, A_long, A_long) { return PF_Err_NONE; }

PF_Err HostCallbacks::RegisterUI(PF_ProgPtr effect_ref, PF_CustomUIInfo* info) {
  HostSession* s = Active("register_ui");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "register_ui") : nullptr;
  if (!e) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = s->NextCallFails(HostCall::kRegisterUI)) return *err;
  if (!info) {
    s->RecordError("register_ui: no interface record");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  if (e->current_cmd_ != PF_Cmd_PARAMS_SETUP)
    s->RecordError(std::string("register_ui during ") + CommandName(e->current_cmd_));
  e->custom_ui_.push_back(*info);
  return PF_Err_NONE;
}

A_char* HostCallbacks::AnsiStrcpy(A_char* dest, const A_char* src) { return std::strcpy(dest, src); }

A_long HostCallbacks::AnsiSprintf(A_char* dest, const A_char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = std::vsprintf(dest, format, args);
  va_end(args);
  return n;
}

PF_Handle HostCallbacks::NewHandle(A_u_longlong size) {
  HostSession* s = Active("host_new_handle");
  if (!s || s->NextCallFails(HostCall::kNewHandle)) return nullptr;
  auto record = std::make_unique<HostSession::HandleRecord>();
  // Never zero bytes, so that every live handle has its own block.
  record->data = std::malloc(size ? size : 1);
  if (!record->data) return nullptr;
  record->state.size = size;
  PF_Handle handle = &record->data;
  s->handles_[handle] = std::move(record);
  return handle;
}

void* HostCallbacks::LockHandle(PF_Handle handle) {
  HostSession* s = Active("host_lock_handle");
  HostSession::HandleRecord* r = s ? s->FindHandle(handle, "host_lock_handle") : nullptr;
  if (!r) return nullptr;
  ++r->state.locks;
  return r->data;
}

void HostCallbacks::UnlockHandle(PF_Handle handle) {
  HostSession* s = Active("host_unlock_handle");
  HostSession::HandleRecord* r = s ? s->FindHandle(handle, "host_unlock_handle") : nullptr;
  if (!r) return;
  if (r->state.locks == 0) {
    s->RecordError("host_unlock_handle: handle is not locked");
    return;
  }
  --r->state.locks;
}

void HostCallbacks::DisposeHandle(PF_Handle handle) {
  HostSession* s = Active("host_dispose_handle");
  HostSession::HandleRecord* r = s ? s->FindHandle(handle, "host_dispose_handle") : nullptr;
  if (!r) return;
  std::free(r->data);
  r->data = nullptr;
  r->state.disposed = true;
}

A_u_longlong HostCallbacks::GetHandleSize(PF_Handle handle) {
  HostSession* s = Active("host_get_handle_size");
  HostSession::HandleRecord* r = s ? s->FindHandle(handle, "host_get_handle_size") : nullptr;
  return r ? r->state.size : 0;
}

PF_Err HostCallbacks::GetPlatformData(PF_ProgPtr effect_ref, A_long which, void* data) {
  HostSession* s = Active("get_platform_data");
  if (!s || !s->FindEffect(effect_ref, "get_platform_data")) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = s->NextCallFails(HostCall::kGetPlatformData)) return *err;
  if (which != PF_PlatData_MAIN_WND || !data) {
    s->RecordError("get_platform_data: unsupported request " + std::to_string(which));
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *static_cast<HWND*>(data) = s->main_window();
  return PF_Err_NONE;
}

SPErr HostCallbacks::AcquireSuite(const char* name, int32_t version, const void** suite) {
  HostSession* s = Active("AcquireSuite");
  if (suite) *suite = nullptr;
  if (!s) return kSPSuiteNotFoundError;
  if (!name || !suite) {
    s->RecordError("AcquireSuite: missing name or result pointer");
    return kSPSuiteNotFoundError;
  }
  SuiteUse& use = s->suite_uses_[SuiteKey{name, version}];
  auto it = s->suites_.find(SuiteKey{name, version});
  if (s->NextCallFails(HostCall::kAcquireSuite) || it == s->suites_.end()) {
    ++use.refused;
    return kSPSuiteNotFoundError;
  }
  ++use.acquired;
  *suite = it->second;
  return kSPNoError;
}

SPErr HostCallbacks::ReleaseSuite(const char* name, int32_t version) {
  HostSession* s = Active("ReleaseSuite");
  if (!s) return kSPSuiteNotFoundError;
  if (!name) {
    s->RecordError("ReleaseSuite: missing name");
    return kSPSuiteNotFoundError;
  }
  auto it = s->suite_uses_.find(SuiteKey{name, version});
  if (it == s->suite_uses_.end() || it->second.released >= it->second.acquired) {
    s->RecordError("ReleaseSuite: " + SuiteText(name, version) + " released more often than acquired");
    return kSPSuiteNotFoundError;
  }
  ++it->second.released;
  return kSPNoError;
}

int32_t HostCallbacks::IsEqual(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

SPErr HostCallbacks::AllocateBlock(size_t size, void** block) {
  *block = std::malloc(size ? size : 1);
  return *block ? SPErr{kSPNoError} : SPErr{PF_Err_OUT_OF_MEMORY};
}

SPErr HostCallbacks::FreeBlock(void* block) {
  std::free(block);
  return kSPNoError;
}

SPErr HostCallbacks::ReallocateBlock(void* block, size_t new_size, void** new_block) {
  void* p = std::realloc(block, new_size ? new_size : 1);
  if (!p) return SPErr{PF_Err_OUT_OF_MEMORY};
  *new_block = p;
  return kSPNoError;
}

SPErr HostCallbacks::Undefined() { return kSPSuiteNotFoundError; }

PF_Err HostCallbacks::UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex index, const PF_ParamDef* def) {
  HostSession* s = Active("PF_UpdateParamUI");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "PF_UpdateParamUI") : nullptr;
  if (!e) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = s->NextCallFails(HostCall::kUpdateParamUI)) return *err;
  if (!def || index < 1 || static_cast<size_t>(index) >= e->param_count()) {
    s->RecordError("PF_UpdateParamUI: no parameter " + std::to_string(index));
    return PF_Err_INVALID_INDEX;
  }
  s->param_ui_updates_.push_back(ParamUIUpdate{e, index, *def});
  PF_ParamDef& stored = e->mutable_param(index);
  if (def->param_type != stored.param_type) {
    s->RecordError("PF_UpdateParamUI: parameter " + std::to_string(index) + " changes its kind");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  // The interface state is what an update changes: enabled or greyed out, twirled.
  stored.ui_flags = def->ui_flags;
  stored.flags = def->flags;
  return PF_Err_NONE;
}

PF_Err HostCallbacks::NumPaths(PF_ProgPtr effect_ref, A_long* num_paths) {
  HostSession* s = Active("PF_NumPaths");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "PF_NumPaths") : nullptr;
  if (!e) return PF_Err_BAD_CALLBACK_PARAM;
  if (!num_paths) {
    s->RecordError("PF_NumPaths: no result pointer");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *num_paths = static_cast<A_long>(e->masks_.size());
  return PF_Err_NONE;
}

PF_Err HostCallbacks::PathInfo(PF_ProgPtr effect_ref, A_long index, PF_PathID* unique_id) {
  HostSession* s = Active("PF_PathInfo");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "PF_PathInfo") : nullptr;
  if (!e) return PF_Err_BAD_CALLBACK_PARAM;
  if (!unique_id) {
    s->RecordError("PF_PathInfo: no result pointer");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *unique_id = 0;
  if (index < 0 || static_cast<size_t>(index) >= e->masks_.size()) {
    s->RecordError("PF_PathInfo: no path " + std::to_string(index) + " (the layer has " +
                   std::to_string(e->masks_.size()) + ")");
    return PF_Err_INVALID_INDEX;
  }
  *unique_id = e->masks_[index].id;
  return PF_Err_NONE;
}

PF_Err HostCallbacks::CheckoutPath(PF_ProgPtr effect_ref, PF_PathID unique_id, A_long what_time, A_long,
                                   A_u_long time_scale, PF_PathOutlinePtr* path) {
  HostSession* s = Active("PF_CheckoutPath");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "PF_CheckoutPath") : nullptr;
  if (!e) return PF_Err_BAD_CALLBACK_PARAM;
  return e->CheckoutPath(unique_id, e->CallbackSeconds(what_time, time_scale, "PF_CheckoutPath"), path);
}

PF_Err HostCallbacks::CheckinPath(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean, PF_PathOutlinePtr path) {
  HostSession* s = Active("PF_CheckinPath");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "PF_CheckinPath") : nullptr;
  return e ? e->CheckinPath(unique_id, path) : PF_Err_BAD_CALLBACK_PARAM;
}

const MaskPath* HostCallbacks::ShapeOfPath(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, const char* caller) {
  HostSession* s = Active(caller);
  LoadedEffect* e = s ? s->FindEffect(effect_ref, caller) : nullptr;
  return e ? e->CheckedOutPath(path, caller) : nullptr;
}

namespace {

// An open path of n vertices has n - 1 segments; a closed one n, the last
// running back to the first vertex.
A_long SegmentCount(const MaskPath& path) {
  const A_long n = static_cast<A_long>(path.vertices.size());
  return path.closed ? n : n - 1;
}

}  // namespace

PF_Err HostCallbacks::PathIsOpen(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, PF_Boolean* open) {
  const MaskPath* shape = ShapeOfPath(effect_ref, path, "PF_PathIsOpen");
  if (!shape || !open) return PF_Err_BAD_CALLBACK_PARAM;
  *open = shape->closed ? 0 : 1;
  return PF_Err_NONE;
}

PF_Err HostCallbacks::PathNumSegments(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, A_long* num_segments) {
  const MaskPath* shape = ShapeOfPath(effect_ref, path, "PF_PathNumSegments");
  if (!shape || !num_segments) return PF_Err_BAD_CALLBACK_PARAM;
  *num_segments = SegmentCount(*shape);
  return PF_Err_NONE;
}

PF_Err HostCallbacks::PathVertexInfo(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, A_long which,
                                     PF_PathVertex* vertex) {
  const MaskPath* shape = ShapeOfPath(effect_ref, path, "PF_PathVertexInfo");
  if (!shape || !vertex) return PF_Err_BAD_CALLBACK_PARAM;
  // Vertices 0 to the segment count: on a closed path the last of them is vertex 0 again.
  const A_long n = static_cast<A_long>(shape->vertices.size());
  if (which < 0 || which > SegmentCount(*shape)) {
    Active("PF_PathVertexInfo")->RecordError("PF_PathVertexInfo: no vertex " + std::to_string(which) +
                                              " (the path has " + std::to_string(n) + ")");
    return PF_Err_INVALID_INDEX;
  }
  const MaskVertex& v = shape->vertices[which % n];
  *vertex = PF_PathVertex{v.x, v.y, v.in_x, v.in_y, v.out_x, v.out_y};
  return PF_Err_NONE;
}

PF_Err HostCallbacks::PathIsInverted(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean* inverted) {
  HostSession* s = Active("PF_PathIsInverted");
  LoadedEffect* e = s ? s->FindEffect(effect_ref, "PF_PathIsInverted") : nullptr;
  if (!e || !inverted) return PF_Err_BAD_CALLBACK_PARAM;
  const HostMask* mask = e->FindMask(unique_id);
  if (!mask) {
    s->RecordError("PF_PathIsInverted: no path " + std::to_string(unique_id));
    *inverted = 0;
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *inverted = mask->inverted ? 1 : 0;
  return PF_Err_NONE;
}

}  // namespace qfhost

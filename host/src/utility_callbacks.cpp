// The utility callbacks (handles, ANSI helpers, platform data) and the basic
// suite (suites, memory blocks).
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host_callbacks.h"

namespace qfhost {

A_char* HandleCallbacks::AnsiStrcpy(A_char* dest, const A_char* src) {
  return std::strcpy(dest, src);
}

A_long HandleCallbacks::AnsiSprintf(A_char* dest, const A_char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = std::vsprintf(dest, format, args);
  va_end(args);
  return n;
}

PF_Handle HandleCallbacks::NewHandle(A_u_longlong size) {
  HostSession* s = ActiveSession("host_new_handle");
  if (!s || s->NextCallFails(HostCall::kNewHandle)) return nullptr;
  return s->handles().New(size);
}

void* HandleCallbacks::LockHandle(PF_Handle handle) {
  HostSession* s = ActiveSession("host_lock_handle");
  return s ? s->handles().Lock(handle) : nullptr;
}

void HandleCallbacks::UnlockHandle(PF_Handle handle) {
  if (HostSession* s = ActiveSession("host_unlock_handle")) s->handles().Unlock(handle);
}

void HandleCallbacks::DisposeHandle(PF_Handle handle) {
  if (HostSession* s = ActiveSession("host_dispose_handle")) s->handles().Dispose(handle);
}

A_u_longlong HandleCallbacks::GetHandleSize(PF_Handle handle) {
  HostSession* s = ActiveSession("host_get_handle_size");
  return s ? s->handles().Size(handle) : 0;
}

PF_Err HandleCallbacks::GetPlatformData(PF_ProgPtr effect_ref, A_long which, void* data) {
  EffectCall c = LookUpEffect(effect_ref, "get_platform_data");
  if (!c) return PF_Err_BAD_CALLBACK_PARAM;
  if (auto err = c.session->NextCallFails(HostCall::kGetPlatformData)) return *err;
  if (which != PF_PlatData_MAIN_WND || !data) {
    c.session->RecordError("get_platform_data: unsupported request " + std::to_string(which));
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  *static_cast<HWND*>(data) = c.session->main_window();
  return PF_Err_NONE;
}

SPErr SuiteCallbacks::AcquireSuite(const char* name, int32_t version, const void** suite) {
  HostSession* s = ActiveSession("AcquireSuite");
  if (suite) *suite = nullptr;
  if (!s) return kSPSuiteNotFoundError;
  if (!name || !suite) {
    s->RecordError("AcquireSuite: missing name or result pointer");
    return kSPSuiteNotFoundError;
  }
  const bool refused = s->NextCallFails(HostCall::kAcquireSuite).has_value();
  return s->suites().Acquire(name, version, refused, suite);
}

SPErr SuiteCallbacks::ReleaseSuite(const char* name, int32_t version) {
  HostSession* s = ActiveSession("ReleaseSuite");
  if (!s) return kSPSuiteNotFoundError;
  if (!name) {
    s->RecordError("ReleaseSuite: missing name");
    return kSPSuiteNotFoundError;
  }
  return s->suites().Release(name, version);
}

int32_t SuiteCallbacks::IsEqual(const char* a, const char* b) {
  return a && b && std::strcmp(a, b) == 0;
}

SPErr SuiteCallbacks::AllocateBlock(size_t size, void** block) {
  *block = std::malloc(size ? size : 1);
  return *block ? SPErr{kSPNoError} : SPErr{PF_Err_OUT_OF_MEMORY};
}

SPErr SuiteCallbacks::FreeBlock(void* block) {
  std::free(block);
  return kSPNoError;
}

SPErr SuiteCallbacks::ReallocateBlock(void* block, size_t new_size, void** new_block) {
  void* p = std::realloc(block, new_size ? new_size : 1);
  if (!p) return SPErr{PF_Err_OUT_OF_MEMORY};
  *new_block = p;
  return kSPNoError;
}

SPErr SuiteCallbacks::Undefined() { return kSPSuiteNotFoundError; }

}  // namespace qfhost

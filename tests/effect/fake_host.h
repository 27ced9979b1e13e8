// A small in-process host for unit tests of the entry-point handlers: it
// records what the plug-in asks of it and can be told to fail.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectSuites.h"

class FakeHost {
 public:
  FakeHost() {
    Current() = this;
    std::memset(&in_data, 0, sizeof(in_data));
    std::memset(&out_data, 0, sizeof(out_data));
    std::memset(&utils, 0, sizeof(utils));
    utils.ansi.strcpy = [](A_char* d, const A_char* s) { return std::strcpy(d, s); };
    utils.ansi.sprintf = &Sprintf;
    utils.host_new_handle = &NewHandle;
    utils.host_lock_handle = &LockHandle;
    utils.host_unlock_handle = &UnlockHandle;
    utils.host_dispose_handle = &DisposeHandle;
    utils.get_platform_data = &GetPlatformData;
    in_data.utils = &utils;
    in_data.inter.add_param = &AddParam;
    in_data.inter.register_ui = &RegisterUi;
    basic.AcquireSuite = &AcquireSuite;
    basic.ReleaseSuite = &ReleaseSuite;
    in_data.pica_basicP = &basic;
    param_utils.PF_UpdateParamUI = &UpdateParamUI;
  }
  ~FakeHost() {
    for (auto& h : handles) delete[] static_cast<char*>(*h.first), delete h.first;
    Current() = nullptr;
  }

  struct HandleState {
    size_t size;
    int locks;
    bool disposed;
  };
  struct UpdateCall {
    PF_ParamIndex index;
    PF_ParamDef def;
  };

  PF_InData in_data;
  PF_OutData out_data;
  PF_UtilCallbacks utils;
  SPBasicSuite basic;
  PF_ParamUtilsSuite2 param_utils;

  std::vector<PF_ParamDef> added;
  std::vector<PF_CustomUIInfo> registered;
  std::vector<UpdateCall> updates;
  std::map<PF_Handle, HandleState> handles;
  std::map<std::string, int> suites_held;  // acquires minus releases, by name
  int fail_add_param_at = 0;               // 1-based call that fails, 0 for none
  PF_Err add_param_error = PF_Err_OUT_OF_MEMORY;
  bool fail_new_handle = false;
  bool has_param_utils = true;
  int host_errors = 0;  // misuse of handles seen

  static FakeHost*& Current() {
    static FakeHost* current = nullptr;
    return current;
  }

 private:
  static A_long Sprintf(A_char* dest, const A_char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = std::vsprintf(dest, format, args);
    va_end(args);
    return n;
  }
  static PF_Handle NewHandle(A_u_longlong size) {
    FakeHost* h = Current();
    if (h->fail_new_handle) return nullptr;
    auto handle = new void*(new char[size]());
    h->handles[handle] = {static_cast<size_t>(size), 0, false};
    return handle;
  }
  static HandleState* Find(PF_Handle handle) {
    auto it = Current()->handles.find(handle);
    if (it == Current()->handles.end() || it->second.disposed) {
      ++Current()->host_errors;
      return nullptr;
    }
    return &it->second;
  }
  static void* LockHandle(PF_Handle handle) {
    HandleState* s = Find(handle);
    if (!s) return nullptr;
    ++s->locks;
    return *handle;
  }
  static void UnlockHandle(PF_Handle handle) {
    HandleState* s = Find(handle);
    if (!s) return;
    if (s->locks == 0) ++Current()->host_errors;
    else --s->locks;
  }
  static void DisposeHandle(PF_Handle handle) {
    HandleState* s = Find(handle);
    if (s) s->disposed = true;
  }
  static PF_Err GetPlatformData(PF_ProgPtr, A_long which, void* data) {
    if (which == PF_PlatData_MAIN_WND) *static_cast<HWND*>(data) = reinterpret_cast<HWND>(0x1234);
    return PF_Err_NONE;
  }
  static PF_Err AddParam(PF_ProgPtr, PF_ParamIndex index, PF_ParamDefPtr def) {
    FakeHost* h = Current();
    if (index != -1) return PF_Err_INVALID_INDEX;
    if (h->fail_add_param_at == static_cast<int>(h->added.size()) + 1) return h->add_param_error;
    h->added.push_back(*def);
    return PF_Err_NONE;
  }
  static PF_Err RegisterUi(PF_ProgPtr, PF_CustomUIInfo* info) {
    Current()->registered.push_back(*info);
    return PF_Err_NONE;
  }
  static SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    FakeHost* h = Current();
    if (std::strcmp(name, kPFParamUtilsSuite) == 0 && version == 2 && h->has_param_utils) {
      *suite = &h->param_utils;
      ++h->suites_held[name];
      return kSPNoError;
    }
    return kSPSuiteNotFoundError;
  }
  static SPErr ReleaseSuite(const char* name, int32_t) {
    --Current()->suites_held[name];
    return kSPNoError;
  }
  static PF_Err UpdateParamUI(PF_ProgPtr, PF_ParamIndex index, const PF_ParamDef* def) {
    Current()->updates.push_back({index, *def});
    return PF_Err_NONE;
  }
};

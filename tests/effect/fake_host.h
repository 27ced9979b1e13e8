// A small in-process host for unit tests of the entry-point handlers: it
// records what the plug-in asks of it and can be told to fail. For renders it
// serves layer check-outs, the sequence data and the two path suites, and
// logs those calls in order. What a host can see of a deliverable it loads is
// tested through the host library's checking host (tests/host); this one
// serves what needs the handlers and their globals in this process, or a host
// that misbehaves (throws, hands out no suites).
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
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
    in_data.inter.checkout_param = &CheckoutParam;
    in_data.inter.checkin_param = &CheckinParam;
    in_data.effect_ref = reinterpret_cast<PF_ProgPtr>(&effect_token);
    in_data.quality = PF_Quality_HI;
    in_data.current_time = 1200;
    in_data.time_step = 40;
    in_data.local_time_step = 20;
    in_data.time_scale = 600;
    path_query.PF_CheckoutPath = &CheckoutPath;
    path_query.PF_CheckinPath = &CheckinPath;
    path_data.PF_PathIsOpen = &PathIsOpen;
    path_data.PF_PathNumSegments = &PathNumSegments;
    path_data.PF_PathVertexInfo = &PathVertexInfo;
    path_data.PF_PathIsInverted = &PathIsInverted;
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
  // A host image of 8- or 16-bit pixels whose rows carry padding bytes.
  struct World {
    World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    void Make(int width, int height, bool deep, int padding_bytes) {
      const int pixel_bytes = deep ? 8 : 4;
      bytes.assign(size_t(height) * size_t(width * pixel_bytes + padding_bytes), 0);
      def = PF_LayerDef{};
      def.world_flags = deep ? PF_WorldFlag_DEEP : 0;
      def.data = bytes.empty() ? nullptr : bytes.data();
      def.rowbytes = width * pixel_bytes + padding_bytes;
      def.width = width;
      def.height = height;
    }
    std::vector<uint8_t> bytes;
    PF_LayerDef def = {};
  };

  PF_InData in_data;
  PF_OutData out_data;
  PF_UtilCallbacks utils;
  SPBasicSuite basic;
  PF_ParamUtilsSuite2 param_utils;

  std::vector<PF_ParamDef> added;
  std::vector<UpdateCall> updates;
  std::map<PF_Handle, HandleState> handles;
  std::map<std::string, int> suites_held;  // acquires minus releases, by name
  bool has_param_utils = true;
  int host_errors = 0;  // misuse of handles seen

  // Render services. Every check-out hands out `layer`; `calls` logs the
  // lock, check-out, check-in, unlock and path calls in order.
  std::vector<std::string> calls;
  PF_LayerDef layer = {};
  PF_Err checkout_error = PF_Err_NONE;
  PF_Err checkin_error = PF_Err_NONE;
  bool throw_at_checkout = false;
  bool throw_at_checkin = false;
  int params_out = 0;  // check-outs minus check-ins
  PF_ParamIndex checkout_index = 0;
  A_long checkout_time = 0, checkout_step = 0;
  A_u_long checkout_scale = 0;
  PF_ParamDef* checkout_def = nullptr;

  PF_PathQuerySuite1 path_query = {};
  PF_PathDataSuite1 path_data = {};
  bool has_path_suites = true;
  bool give_path = true;
  std::vector<PF_PathVertex> path_vertices;
  bool path_open = true;
  int paths_out = 0;  // path check-outs minus check-ins

  bool SuitesBalanced() const {
    for (const auto& held : suites_held)
      if (held.second != 0) return false;
    return true;
  }
  int Locks(PF_Handle handle) { return handles[handle].locks; }

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
    Current()->calls.push_back("lock");
    HandleState* s = Find(handle);
    if (!s) return nullptr;
    ++s->locks;
    return *handle;
  }
  static void UnlockHandle(PF_Handle handle) {
    Current()->calls.push_back("unlock");
    HandleState* s = Find(handle);
    if (!s) return;
    if (s->locks == 0)
      ++Current()->host_errors;
    else
      --s->locks;
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
    h->added.push_back(*def);
    return PF_Err_NONE;
  }
  static PF_Err RegisterUi(PF_ProgPtr, PF_CustomUIInfo*) { return PF_Err_NONE; }
  static SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    FakeHost* h = Current();
    if (std::strcmp(name, kPFParamUtilsSuite) == 0 && version == 2 && h->has_param_utils) {
      *suite = &h->param_utils;
    } else if (std::strcmp(name, kPFPathQuerySuite) == 0 && version == 1 && h->has_path_suites) {
      *suite = &h->path_query;
    } else if (std::strcmp(name, kPFPathDataSuite) == 0 && version == 1 && h->has_path_suites) {
      *suite = &h->path_data;
    } else {
      return kSPSuiteNotFoundError;
    }
    ++h->suites_held[name];
    return kSPNoError;
  }
  static SPErr ReleaseSuite(const char* name, int32_t) {
    --Current()->suites_held[name];
    Current()->calls.push_back(std::string("release ") + name);
    return kSPNoError;
  }
  static PF_Err CheckoutParam(PF_ProgPtr, PF_ParamIndex index, A_long time, A_long step,
                              A_u_long scale, PF_ParamDef* param) {
    FakeHost* h = Current();
    h->calls.push_back("checkout_param");
    if (h->throw_at_checkout) throw std::runtime_error("host gave up");
    h->checkout_index = index;
    h->checkout_time = time;
    h->checkout_step = step;
    h->checkout_scale = scale;
    h->checkout_def = param;
    std::memset(param, 0, sizeof(*param));
    param->param_type = PF_Param_LAYER;
    if (h->checkout_error == PF_Err_NONE) {
      param->u.ld = h->layer;
      ++h->params_out;
    }
    return h->checkout_error;
  }
  static PF_Err CheckinParam(PF_ProgPtr, PF_ParamDef* param) {
    FakeHost* h = Current();
    h->calls.push_back("checkin_param");
    if (param != h->checkout_def) ++h->host_errors;
    if (h->checkout_error == PF_Err_NONE) --h->params_out;
    if (h->throw_at_checkin) throw std::runtime_error("host gave up after taking it back");
    return h->checkin_error;
  }
  static PF_Err CheckoutPath(PF_ProgPtr, PF_PathID, A_long, A_long, A_u_long,
                             PF_PathOutlinePtr* path) {
    FakeHost* h = Current();
    h->calls.push_back("checkout path");
    *path = h->give_path ? reinterpret_cast<PF_PathOutlinePtr>(&h->path_token) : nullptr;
    if (*path) ++h->paths_out;
    return PF_Err_NONE;
  }
  static PF_Err CheckinPath(PF_ProgPtr, PF_PathID, PF_Boolean, PF_PathOutlinePtr) {
    FakeHost* h = Current();
    h->calls.push_back("checkin path");
    --h->paths_out;
    return PF_Err_NONE;
  }
  static PF_Err PathIsOpen(PF_ProgPtr, PF_PathOutlinePtr, PF_Boolean* open) {
    *open = Current()->path_open;
    return PF_Err_NONE;
  }
  static PF_Err PathNumSegments(PF_ProgPtr, PF_PathOutlinePtr, A_long* count) {
    FakeHost* h = Current();
    *count = A_long(h->path_vertices.size()) - (h->path_open ? 1 : 0);
    return PF_Err_NONE;
  }
  static PF_Err PathVertexInfo(PF_ProgPtr, PF_PathOutlinePtr, A_long index, PF_PathVertex* v) {
    *v = Current()->path_vertices.at(size_t(index));
    return PF_Err_NONE;
  }
  static PF_Err PathIsInverted(PF_ProgPtr, PF_PathID, PF_Boolean* inverted) {
    *inverted = 0;
    return PF_Err_NONE;
  }

  int effect_token = 0;
  int path_token = 0;
  static PF_Err UpdateParamUI(PF_ProgPtr, PF_ParamIndex index, const PF_ParamDef* def) {
    Current()->updates.push_back({index, *def});
    return PF_Err_NONE;
  }
};

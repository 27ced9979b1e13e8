// A host that can be told to misbehave, for the tests that need it: its calls
// throw, its check-in fails, it hands out no suites or no basic suite, its
// paths lie about their segments. Everything a well-behaved host does is
// tested through the host library's checking host instead (entry_test.h).
//
// It serves handles, parameter set-up, layer check-outs and the two path
// suites, logs the lock, check-out, check-in, unlock and suite release calls
// in order, and counts every misuse it sees in `host_errors`.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdint>
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
    in_data.utils = &utils;
    in_data.inter.add_param = &AddParam;
    in_data.inter.register_ui = [](PF_ProgPtr, PF_CustomUIInfo*) -> PF_Err { return PF_Err_NONE; };
    in_data.inter.checkout_param = &CheckoutParam;
    in_data.inter.checkin_param = &CheckinParam;
    basic.AcquireSuite = &AcquireSuite;
    basic.ReleaseSuite = &ReleaseSuite;
    in_data.pica_basicP = &basic;
    param_utils.PF_UpdateParamUI = &UpdateParamUI;
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
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  struct HandleState {
    size_t size;
    int locks;
    bool disposed;
  };
  // The arguments of the last check-out.
  struct Checkout {
    int64_t id = 0;  // parameter index or path id
    A_long time = 0, step = 0;
    A_u_long scale = 0;
  };
  // The arguments of the last path check-in.
  struct PathCheckin {
    PF_PathID id = 0;
    PF_Boolean changed = 7;
    PF_PathOutlinePtr path = nullptr;
  };

  // Serves `vertices` as the path of every path check-out; its segment count
  // follows from `open` (a test may change it afterwards).
  void ServePath(std::vector<PF_PathVertex> vertices, bool open, bool inverted = false) {
    path_vertices = std::move(vertices);
    path_open = open;
    path_inverted = inverted;
    path_segments = A_long(path_vertices.size()) - (open ? 1 : 0);
  }
  bool SuitesBalanced() const {
    for (const auto& held : suites_held)
      if (held.second != 0) return false;
    return true;
  }
  int Locks(PF_Handle handle) { return handles[handle].locks; }
  PF_PathOutlinePtr path_handle() { return reinterpret_cast<PF_PathOutlinePtr>(&path_token); }

  PF_InData in_data;
  PF_OutData out_data;
  PF_UtilCallbacks utils;
  SPBasicSuite basic;
  PF_ParamUtilsSuite2 param_utils;

  std::vector<PF_ParamDef> added;
  std::vector<PF_ParamIndex> updates;  // indices passed to PF_UpdateParamUI
  std::map<PF_Handle, HandleState> handles;
  std::map<std::string, int> suites_held;  // acquires minus releases, by name
  int acquires = 0;
  int host_errors = 0;  // misuse seen: handles, effect reference, path handle, vertex index
  std::vector<std::string> calls;

  // Layer check-outs: each hands out `layer`.
  PF_LayerDef layer = {};
  PF_Err checkin_error = PF_Err_NONE;
  bool throw_at_checkout = false;
  bool throw_at_checkin = false;
  int params_out = 0;  // check-outs minus check-ins
  Checkout param_checkout;
  PF_ParamDef* checkout_def = nullptr;

  // The path suites.
  PF_PathQuerySuite1 path_query = {};
  PF_PathDataSuite1 path_data = {};
  bool has_path_query = true;
  bool has_path_data = true;
  bool give_path = true;
  std::vector<PF_PathVertex> path_vertices;
  bool path_open = true;
  bool path_inverted = false;
  A_long path_segments = 0;
  int throw_at_vertex = -1;
  bool throw_at_path_checkin = false;
  int path_checkouts = 0;
  int path_checkins = 0;
  int vertex_reads = 0;
  Checkout path_checkout;
  PathCheckin path_checkin;

  static FakeHost*& Current() {
    static FakeHost* current = nullptr;
    return current;
  }

 private:
  static FakeHost& Host(PF_ProgPtr effect_ref) {
    FakeHost& h = *Current();
    if (effect_ref != h.in_data.effect_ref) ++h.host_errors;
    return h;
  }
  static FakeHost& PathHost(PF_ProgPtr effect_ref, PF_PathOutlinePtr path) {
    FakeHost& h = Host(effect_ref);
    if (path != h.path_handle()) ++h.host_errors;
    return h;
  }
  static A_long Sprintf(A_char* dest, const A_char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = std::vsprintf(dest, format, args);
    va_end(args);
    return n;
  }
  static PF_Handle NewHandle(A_u_longlong size) {
    auto handle = new void*(new char[size]());
    Current()->handles[handle] = {static_cast<size_t>(size), 0, false};
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
  static PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
    FakeHost& h = Host(effect_ref);
    if (index != -1) return PF_Err_INVALID_INDEX;
    h.added.push_back(*def);
    return PF_Err_NONE;
  }
  static SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
    FakeHost& h = *Current();
    if (std::strcmp(name, kPFParamUtilsSuite) == 0 && version == 2) {
      *suite = &h.param_utils;
    } else if (std::strcmp(name, kPFPathQuerySuite) == 0 && version == 1 && h.has_path_query) {
      *suite = &h.path_query;
    } else if (std::strcmp(name, kPFPathDataSuite) == 0 && version == 1 && h.has_path_data) {
      *suite = &h.path_data;
    } else {
      return kSPSuiteNotFoundError;
    }
    ++h.acquires;
    ++h.suites_held[name];
    return kSPNoError;
  }
  static SPErr ReleaseSuite(const char* name, int32_t) {
    --Current()->suites_held[name];
    Current()->calls.push_back(std::string("release ") + name);
    return kSPNoError;
  }
  static PF_Err UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex index, const PF_ParamDef*) {
    Host(effect_ref).updates.push_back(index);
    return PF_Err_NONE;
  }
  static PF_Err CheckoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long time, A_long step,
                              A_u_long scale, PF_ParamDef* param) {
    FakeHost& h = Host(effect_ref);
    h.calls.push_back("checkout_param");
    if (h.throw_at_checkout) throw std::runtime_error("host gave up");
    h.param_checkout = {index, time, step, scale};
    h.checkout_def = param;
    std::memset(param, 0, sizeof(*param));
    param->param_type = PF_Param_LAYER;
    param->u.ld = h.layer;
    ++h.params_out;
    return PF_Err_NONE;
  }
  static PF_Err CheckinParam(PF_ProgPtr effect_ref, PF_ParamDef* param) {
    FakeHost& h = Host(effect_ref);
    h.calls.push_back("checkin_param");
    if (param != h.checkout_def) ++h.host_errors;
    --h.params_out;
    if (h.throw_at_checkin) throw std::runtime_error("host gave up after taking it back");
    return h.checkin_error;
  }
  static PF_Err CheckoutPath(PF_ProgPtr effect_ref, PF_PathID id, A_long time, A_long step,
                             A_u_long scale, PF_PathOutlinePtr* path) {
    FakeHost& h = Host(effect_ref);
    h.calls.push_back("checkout path");
    ++h.path_checkouts;
    h.path_checkout = {id, time, step, scale};
    *path = h.give_path ? h.path_handle() : nullptr;
    return PF_Err_NONE;
  }
  static PF_Err CheckinPath(PF_ProgPtr effect_ref, PF_PathID id, PF_Boolean changed,
                            PF_PathOutlinePtr path) {
    FakeHost& h = Host(effect_ref);
    h.calls.push_back("checkin path");
    ++h.path_checkins;
    h.path_checkin = {id, changed, path};
    if (h.throw_at_path_checkin) throw std::runtime_error("host gave up");
    return PF_Err_NONE;
  }
  static PF_Err PathIsOpen(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, PF_Boolean* open) {
    *open = PathHost(effect_ref, path).path_open;
    return PF_Err_NONE;
  }
  static PF_Err PathNumSegments(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, A_long* count) {
    *count = PathHost(effect_ref, path).path_segments;
    return PF_Err_NONE;
  }
  static PF_Err PathVertexInfo(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, A_long index,
                               PF_PathVertex* vertex) {
    FakeHost& h = PathHost(effect_ref, path);
    if (index == h.throw_at_vertex) throw std::runtime_error("host gave up");
    ++h.vertex_reads;
    if (index < 0 || size_t(index) >= h.path_vertices.size()) {
      ++h.host_errors;
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    *vertex = h.path_vertices[size_t(index)];
    return PF_Err_NONE;
  }
  static PF_Err PathIsInverted(PF_ProgPtr effect_ref, PF_PathID id, PF_Boolean* inverted) {
    FakeHost& h = Host(effect_ref);
    if (id != h.path_checkout.id) ++h.host_errors;
    *inverted = h.path_inverted;
    return PF_Err_NONE;
  }

  int effect_token = 0;
  int path_token = 0;
};

// The functions the host hands to the plug-in, grouped by what they serve,
// and how they find the session that is running the current command.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "SPBasic.h"
#include "qf_host/host_session.h"
#include "qf_host/mask.h"

// What a checked-out path handle points to: the mask it was checked out for
// and its shape at the time of the check-out.
struct PF_PathOutline {
  PF_PathID id;
  qfhost::MaskPath path;
};

namespace qfhost {

// Makes `session` the one that callbacks on this thread reach, until the
// scope ends.
class ActiveScope {
 public:
  explicit ActiveScope(HostSession* session);
  ~ActiveScope();
  ActiveScope(const ActiveScope&) = delete;
  ActiveScope& operator=(const ActiveScope&) = delete;

 private:
  HostSession* previous_;
};

// The session running a command on this thread, or null (reported on stderr).
HostSession* ActiveSession(const char* caller);

// The session and the effect a callback with an effect reference is for.
struct EffectCall {
  HostSession* session = nullptr;
  LoadedEffect* effect = nullptr;  // null: no session, or misuse recorded
  explicit operator bool() const { return effect != nullptr; }
};
EffectCall LookUpEffect(PF_ProgPtr effect_ref, const char* caller);

// Handles, the ANSI helpers and the platform data: the utility callbacks.
struct HandleCallbacks {
  static A_char* AnsiStrcpy(A_char* dest, const A_char* src);
  static A_long AnsiSprintf(A_char* dest, const A_char* format, ...);
  static PF_Handle NewHandle(A_u_longlong size);
  static void* LockHandle(PF_Handle handle);
  static void UnlockHandle(PF_Handle handle);
  static void DisposeHandle(PF_Handle handle);
  static A_u_longlong GetHandleSize(PF_Handle handle);
  static PF_Err GetPlatformData(PF_ProgPtr effect_ref, A_long which, void* data);
};

// The basic suite: the suites behind it and its memory blocks.
struct SuiteCallbacks {
  static SPErr AcquireSuite(const char* name, int32_t version, const void** suite);
  static SPErr ReleaseSuite(const char* name, int32_t version);
  static int32_t IsEqual(const char* a, const char* b);
  static SPErr AllocateBlock(size_t size, void** block);
  static SPErr FreeBlock(void* block);
  static SPErr ReallocateBlock(void* block, size_t new_size, void** new_block);
  static SPErr Undefined();
};

// Parameters and layers: the interaction callbacks and "PF Param Utils Suite".
struct ParamCallbacks {
  static PF_Err CheckoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time,
                              A_long time_step, A_u_long time_scale, PF_ParamDef* param);
  static PF_Err CheckinParam(PF_ProgPtr effect_ref, PF_ParamDef* param);
  static PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def);
  static PF_Err Abort(PF_ProgPtr effect_ref);
  static PF_Err Progress(PF_ProgPtr effect_ref, A_long current, A_long total);
  static PF_Err RegisterUI(PF_ProgPtr effect_ref, PF_CustomUIInfo* info);
  static PF_Err UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex index, const PF_ParamDef* def);
};

// The path suites, over the masks of the effect's layer.
struct PathCallbacks {
  static PF_Err NumPaths(PF_ProgPtr effect_ref, A_long* num_paths);
  static PF_Err PathInfo(PF_ProgPtr effect_ref, A_long index, PF_PathID* unique_id);
  static PF_Err CheckoutPath(PF_ProgPtr effect_ref, PF_PathID unique_id, A_long what_time,
                             A_long time_step, A_u_long time_scale, PF_PathOutlinePtr* path);
  static PF_Err CheckinPath(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean changed,
                            PF_PathOutlinePtr path);
  static PF_Err PathIsOpen(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, PF_Boolean* open);
  static PF_Err PathNumSegments(PF_ProgPtr effect_ref, PF_PathOutlinePtr path,
                                A_long* num_segments);
  static PF_Err PathVertexInfo(PF_ProgPtr effect_ref, PF_PathOutlinePtr path, A_long which,
                               PF_PathVertex* vertex);
  static PF_Err PathIsInverted(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean* inverted);
};

}  // namespace qfhost

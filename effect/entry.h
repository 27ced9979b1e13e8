// The plug-in's face towards the host: command handlers shared by both
// deliverables, the process-wide values the rest of the plug-in reads, and
// the helpers that acquire and release host suites.
#pragma once

#include <windows.h>

#include "AE_Effect.h"
#include "ui/plugin_globals.h"

// Signature of every command handler reached through a dispatch table.
typedef PF_Err (*CommandHandler)(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                 PF_LayerDef* output, void* extra);

// One deliverable's dispatch table, indexed by command selector.
struct CommandTable {
  CommandHandler handlers[PF_Cmd_EVENT + 1];
};

// Hands a command to its handler; selectors outside the table or without a
// handler return 0. Exceptions never reach the host: a missing suite thrown as
// a host error code becomes that code, anything else an out-of-memory error.
PF_Err DispatchCommand(const CommandTable& table, PF_Cmd cmd, PF_InData* in_data,
                       PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                       void* extra);

// The sequence data: 40 x 40 cells of three bytes holding bitmap 999's grey levels.
constexpr int kBumpImageSide = 40;
constexpr int kBumpImageRowBytes = kBumpImageSide * 3;
constexpr A_u_longlong kBumpImageBytes = kBumpImageRowBytes * kBumpImageSide;  // 4800
constexpr int kBumpBitmapId = 999;

constexpr A_u_long kPluginVersion = 0x00100001;
constexpr A_long kPluginOutFlags = 0x06008454;

// The build's shipped file name; global set-up cuts this many characters
// from the module path to find the plug-in folder.
extern const char* const ShippedFileName;

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   PF_LayerDef* output);
PF_Err GlobalSetdown(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     PF_LayerDef* output);
PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     PF_LayerDef* output);
PF_Err SequenceResetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                       PF_LayerDef* output);
PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                       PF_LayerDef* output);

void AcquireHostSuite(PF_InData* in_data, const char* name, int32_t version, const void** suite);
void ReleaseHostSuite(PF_InData* in_data, const char* name, int32_t version, const void* suite);

// The DLL entry: stores the module instance on process attach.
extern "C" BOOL ModuleEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);

// Adapts a handler that takes no extra argument to the dispatch table.
typedef PF_Err (*PlainHandler)(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*);
template <PlainHandler Handler>
PF_Err WithoutExtra(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                    PF_LayerDef* output, void* /*extra*/) {
  return Handler(in_data, out_data, params, output);
}

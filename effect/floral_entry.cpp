// The Floral deliverable's entry point and dispatch table.
#include "effect/entry.h"
#include "effect/floral.h"
#include "ui/ui_handlers.h"

const char* const ShippedFileName = "QuillFrameFloral64.aex";

static PF_Err OnUserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                 PF_LayerDef* output, void* extra) {
  const PF_ParamIndex index =
      extra ? static_cast<PF_UserChangedParamExtra*>(extra)->param_index : 0;
  return UserChangedParam(in_data, out_data, params, output, index);
}

static const CommandTable kFloralCommands = {{
    /* PF_Cmd_ABOUT */ WithoutExtra<About>,
    /* PF_Cmd_GLOBAL_SETUP */ WithoutExtra<GlobalSetup>,
    /* 2 */ nullptr,
    /* PF_Cmd_GLOBAL_SETDOWN */ WithoutExtra<GlobalSetdown>,
    /* PF_Cmd_PARAMS_SETUP */ WithoutExtra<ParamsSetup>,
    /* PF_Cmd_SEQUENCE_SETUP */ WithoutExtra<SequenceSetup>,
    /* PF_Cmd_SEQUENCE_RESETUP */ WithoutExtra<SequenceResetup>,
    /* PF_Cmd_SEQUENCE_FLATTEN */ WithoutExtra<SequenceSetdown>,
    /* PF_Cmd_SEQUENCE_SETDOWN */ WithoutExtra<SequenceSetdown>,
    /* PF_Cmd_DO_DIALOG */ nullptr,
    /* PF_Cmd_FRAME_SETUP */ nullptr,
    /* PF_Cmd_RENDER */ WithoutExtra<Render>,
    /* PF_Cmd_FRAME_SETDOWN */ nullptr,
    /* PF_Cmd_USER_CHANGED_PARAM */ OnUserChangedParam,
    /* PF_Cmd_UPDATE_PARAMS_UI */ WithoutExtra<UpdateParamsUI>,
    /* PF_Cmd_EVENT */ HandleEvent,
}};

extern "C" __attribute__((visibility("default"))) PF_Err EntryPointFunc(
    PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
    PF_LayerDef* output, void* extra) {
  return DispatchCommand(kFloralCommands, cmd, in_data, out_data, params, output, extra);
}

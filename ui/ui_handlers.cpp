#include "ui/ui_handlers.h"

// The About dialog and the effect panel are not drawn yet; both commands
// succeed without doing anything.
PF_Err About(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

PF_Err HandleEvent(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
  return PF_Err_NONE;
}

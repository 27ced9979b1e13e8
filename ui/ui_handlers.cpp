#include "ui/ui_handlers.h"

// The About dialog is not drawn yet: the command succeeds without doing anything.
PF_Err About(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

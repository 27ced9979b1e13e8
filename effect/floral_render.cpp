#include "effect/floral.h"

// The Floral frame is not rendered yet: the output is left as the host gave it.
PF_Err Render(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

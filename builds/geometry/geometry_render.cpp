#include "builds/geometry/geometry.h"

// The Geometry frame is not rendered yet: the output is left as the host gave it.
PF_Err GeometryRender(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

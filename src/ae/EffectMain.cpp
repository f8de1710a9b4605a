#include "ae/EffectExport.h"
#include "ae/sdk/EffectApi.h"

// The host's entry point for every effect command. Until the host layer
// handles commands, every command succeeds without doing anything.
LUMARO_EFFECT_EXPORT PF_Err EffectMain(PF_Cmd /*cmd*/, PF_InData* /*in_data*/, PF_OutData* /*out_data*/,
                                       PF_ParamDef* /*params*/[], PF_LayerDef* /*output*/, void* /*extra*/) {
  return 0;
}

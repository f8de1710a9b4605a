#include "ae/EffectDispatch.h"
#include "ae/EffectExport.h"
#include "ae/sdk/EffectApi.h"

// The host's entry point for every effect command.
LUMARO_EFFECT_EXPORT PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                       PF_LayerDef* output, void* extra) {
  return brantok::lumaro::ae::DispatchCommand(cmd, in_data, out_data, params, output, extra);
}

#pragma once

#include "ae/sdk/EffectApi.h"
#include "gpu/GpuFormat.h"

#include <vector>

namespace brantok::lumaro::ae {

// The one plug-in instance behind the host's global-data handle, seen by the
// command dispatch. The slot order is fixed.
class IGlobalPluginInstance {
public:
  virtual ~IGlobalPluginInstance() = default;

  virtual PF_Err About(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) = 0;
  virtual PF_Err SequenceSetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) = 0;
  virtual PF_Err SequenceResetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                 PF_LayerDef* output) = 0;
  virtual PF_Err SequenceSetdown(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                 PF_LayerDef* output) = 0;
  virtual PF_Err ParamsSetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) = 0;
  virtual PF_Err Render(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) = 0;
  virtual PF_Err UserChangedParam(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output,
                                  void* extra) = 0;
  virtual PF_Err UpdateParameterUI(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                   PF_LayerDef* output) = 0;
  virtual PF_Err ArbitraryCallback(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output,
                                   void* extra) = 0;
  virtual std::vector<gpu::eGpuFormat> GetSupportedFormats() const = 0;
};

} // namespace brantok::lumaro::ae

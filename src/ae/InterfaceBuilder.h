#pragma once

#include "ae/ParameterLayout.h"
#include "ae/sdk/EffectApi.h"

#include <string>
#include <vector>

namespace brantok::lumaro::ae {

// Declares the fixed parameter list to the host during one PARAMS_SETUP.
// out_data->num_params counts the host's input layer and every parameter
// that the host accepts.
class InterfaceBuilder {
public:
  InterfaceBuilder(PF_InData* inData, PF_OutData* outData);
  virtual ~InterfaceBuilder() = default;

  // All parameters in order, the count starting at 1 for the input layer;
  // stops at the first host error and returns it.
  PF_Err AddAll();

  PF_Err AddButton(A_long index, const std::string& name, const std::string& label, PF_ParamUIFlags uiFlags);
  PF_Err AddPopup(A_long index, const std::string& name, const std::vector<std::string>& choices, bool supervised,
                  bool hidden);
  PF_Err AddEffectPathParam(A_long index, const std::string& name);
  PF_Err AddControlParam(A_long index);

private:
  void Clear(A_long index, PF_ParamType type, const std::string& name, PF_ParamFlags flags, PF_ParamUIFlags uiFlags);
  PF_Err Add();

  PF_InData* inData_;
  PF_OutData* outData_;
  PF_ParamDef def_{};
};

} // namespace brantok::lumaro::ae

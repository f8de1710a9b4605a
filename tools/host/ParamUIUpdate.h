#pragma once

#include "ae/sdk/EffectApi.h"

#include <string>

namespace brantok::lumaro::host {

// One PF_UpdateParamUI call as the host received it.
struct ParamUIUpdate {
  PF_Cmd command = -1;     // the command being handled, -1 outside any
  PF_ParamIndex index = 0; // as passed, even when out of range
  // A copy of the definition passed. Its text pointers (popup choices, button
  // and checkbox labels) are cleared, since they belong to the plug-in; the
  // text they pointed to at the time of the call is in `text`.
  PF_ParamDef def{};
  std::string text;
  PF_Err result = PF_Err_NONE;
};

} // namespace brantok::lumaro::host

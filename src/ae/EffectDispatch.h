#pragma once

#include "ae/sdk/EffectApi.h"

namespace brantok::lumaro::ae {

// Everything EffectMain does: logs the command, finds the plug-in instance
// behind the global-data handle and forwards the command to it. No exception
// leaves: the integer errors of the host layer are returned as they are,
// other failures become host error codes with the reason in the log and in
// return_msg.
PF_Err DispatchCommand(PF_Cmd cmd, PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output,
                       void* extra) noexcept;

} // namespace brantok::lumaro::ae

#include "ae/EffectDispatch.h"

#include "ae/HostHandle.h"
#include "ae/KeepString.h"
#include "ae/LumaroEffect.h"
#include "core/Logger.h"
#include "gpu/ContextFactory.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>

namespace brantok::lumaro::ae {
namespace {

using core::eLogChannel;
using core::Logger;

const char* CommandName(PF_Cmd cmd) {
  switch (cmd) {
  case PF_Cmd_ABOUT:
    return "LumaroEffect::About";
  case PF_Cmd_GLOBAL_SETUP:
    return "LumaroEffect::GlobalSetup";
  case PF_Cmd_GLOBAL_SETDOWN:
    return "LumaroEffect::GlobalSetdown";
  case PF_Cmd_PARAMS_SETUP:
    return "LumaroEffect::ParamsSetup";
  case PF_Cmd_SEQUENCE_SETUP:
    return "LumaroEffect::SequenceSetup";
  case PF_Cmd_SEQUENCE_RESETUP:
    return "LumaroEffect::SequenceResetup";
  case PF_Cmd_SEQUENCE_SETDOWN:
    return "LumaroEffect::SequenceSetdown";
  case PF_Cmd_RENDER:
    return "LumaroEffect::Render";
  case PF_Cmd_USER_CHANGED_PARAM:
    return "LumaroEffect::UserChangedParam";
  case PF_Cmd_UPDATE_PARAMS_UI:
    return "LumaroEffect::UpdateParameterUI";
  case PF_Cmd_ARBITRARY_CALLBACK:
    return "LumaroEffect::ArbitraryCallback";
  default:
    return nullptr;
  }
}

// The global-data handle holds one owning pointer to the instance.
IGlobalPluginInstance* FindInstance(const PF_InData* inData) {
  if (!inData->global_data || !*inData->global_data) return nullptr;
  return *static_cast<IGlobalPluginInstance**>(*inData->global_data);
}

PF_Err GlobalSetup(PF_InData* inData, PF_OutData* outData) {
  if (!HostHandle::CanMake(inData->utils)) return PF_Err_INVALID_CALLBACK;
  // A failed instance leaves no handle behind: the exception passes once the
  // block is gone.
  const auto handle = HostHandle::Make(*inData->utils, sizeof(IGlobalPluginInstance*), [&](void* data) {
    *static_cast<IGlobalPluginInstance**>(data) = new LumaroEffect(inData, outData, gpu::DefaultContextFactory());
    return true;
  });
  if (!handle) return PF_Err_OUT_OF_MEMORY;
  outData->global_data = handle;
  return PF_Err_NONE;
}

PF_Err GlobalSetdown(PF_InData* inData, PF_OutData* outData) {
  if (inData->global_data) {
    delete FindInstance(inData);
    if (*inData->global_data) *static_cast<IGlobalPluginInstance**>(*inData->global_data) = nullptr;
    if (inData->utils && inData->utils->host_dispose_handle) inData->utils->host_dispose_handle(inData->global_data);
  }
  outData->global_data = nullptr;
  ClearKeptStrings();
  return PF_Err_NONE;
}

PF_Err Forward(PF_Cmd cmd, IGlobalPluginInstance& instance, PF_InData* inData, PF_OutData* outData,
               PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
  switch (cmd) {
  case PF_Cmd_ABOUT:
    return instance.About(inData, outData, params, output);
  case PF_Cmd_PARAMS_SETUP:
    return instance.ParamsSetup(inData, outData, params, output);
  case PF_Cmd_SEQUENCE_SETUP:
    return instance.SequenceSetup(inData, outData, params, output);
  case PF_Cmd_SEQUENCE_RESETUP:
    return instance.SequenceResetup(inData, outData, params, output);
  case PF_Cmd_SEQUENCE_SETDOWN:
    return instance.SequenceSetdown(inData, outData, params, output);
  case PF_Cmd_RENDER:
    return instance.Render(inData, outData, params, output);
  case PF_Cmd_USER_CHANGED_PARAM:
    return instance.UserChangedParam(inData, outData, params, output, extra);
  case PF_Cmd_UPDATE_PARAMS_UI:
    return instance.UpdateParameterUI(inData, outData, params, output);
  case PF_Cmd_ARBITRARY_CALLBACK:
    return instance.ArbitraryCallback(inData, outData, params, output, extra);
  default:
    return PF_Err_NONE;
  }
}

// Tells the user why, where the host shows messages.
void ReportFailure(PF_OutData* outData, const std::string& reason) {
  if (!outData) return;
  std::snprintf(outData->return_msg, sizeof(outData->return_msg), "%s", reason.c_str());
  outData->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
}

void LogFailure(const char* name, const std::string& reason) noexcept {
  try {
    Logger::Log(std::string(name) + " failed: " + reason, eLogChannel::Error);
  } catch (...) {
    // Nothing left to report with.
  }
}

} // namespace

PF_Err DispatchCommand(PF_Cmd cmd, PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output,
                       void* extra) noexcept {
  if (cmd > PF_Cmd_ARBITRARY_CALLBACK) return PF_Err_NONE;
  const char* name = CommandName(cmd);
  if (!name) return PF_Err_NONE;
  try {
    Logger::Log(name, eLogChannel::Info);
    // A host that sends a command without its records gets an error, never
    // a dereferenced null pointer.
    if (!inData || !outData) {
      LogFailure(name, "no in_data or out_data");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (cmd == PF_Cmd_GLOBAL_SETUP) return GlobalSetup(inData, outData);
    if (cmd == PF_Cmd_GLOBAL_SETDOWN) return GlobalSetdown(inData, outData);
    auto* instance = FindInstance(inData);
    if (!instance) {
      LogFailure(name, "no plug-in instance (GLOBAL_SETUP has not run)");
      return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    return Forward(cmd, *instance, inData, outData, params, output, extra);
  } catch (PF_Err error) {
    return error;
  } catch (const std::bad_alloc&) {
    LogFailure(name, "out of memory");
    return PF_Err_OUT_OF_MEMORY;
  } catch (const std::exception& error) {
    LogFailure(name, error.what());
    ReportFailure(outData, error.what());
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  } catch (...) {
    LogFailure(name, "unknown exception");
    ReportFailure(outData, "Lumaro Effect: unexpected error");
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
}

} // namespace brantok::lumaro::ae

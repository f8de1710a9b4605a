#pragma once

#include "FrameTime.h"
#include "ae/sdk/EffectApi.h"

#include <functional>
#include <optional>

namespace brantok::lumaro::host {

// What EffectHost::Send passes besides the data it prepares itself.
struct CommandOptions {
  // The sequence (from SequenceSetup) whose data handle goes in; -1: none.
  int sequence = -1;
  // The parameter array; by default the host's own.
  std::optional<PF_ParamDef**> params;
  PF_LayerDef* output = nullptr;
  void* extra = nullptr;
  FrameTime time{};
  // Width and height of the layer, as in_data reports them.
  A_long width = 0;
  A_long height = 0;
  // Pass null instead of the prepared structures.
  bool nullInData = false;
  bool nullOutData = false;
  // Last changes to the prepared structures before the call (null callbacks,
  // odd handles, ...).
  std::function<void(PF_InData&, PF_OutData&)> adjust;
};

} // namespace brantok::lumaro::host

#pragma once

#include "ae/sdk/EffectApi.h"
#include "core/ProductInformation.h"

namespace brantok::lumaro::ae {

// What the module says about itself twice: in its PiPL resource, which the
// host reads before loading any code, and in out_data at GLOBAL_SETUP. Hosts
// compare the two (and choose among duplicate effects by the version word),
// so both are made from these values and nothing else.
struct EffectDeclaration {
  // Without SEND_UPDATE_PARAMS_UI the host never asks the plug-in to refresh
  // the panel, and a reopened project shows the reserved parameters' own names
  // and ranges until the user touches the Effect popup.
  static constexpr PF_OutFlags OutFlags = PF_OutFlag_SEND_UPDATE_PARAMS_UI;
  static constexpr PF_OutFlags2 OutFlags2 = PF_OutFlag2_NONE;

  // The product version as a released build 1.
  static A_u_long VersionWord() {
    const auto& version = core::ProductInformation::GetVersion();
    return PF_VERSION(static_cast<A_u_long>(version.major), static_cast<A_u_long>(version.minor),
                      static_cast<A_u_long>(version.patch), PF_Stage_RELEASE, 1);
  }
};

} // namespace brantok::lumaro::ae

#pragma once

#include "ae/sdk/EffectApi.h"

namespace brantok::lumaro::host {

// Which application the host plays. Premiere Pro offers its pixel format suite
// (version 1); After Effects answers that request with "suite not found".
enum class eHostApp { PremierePro, AfterEffects };

constexpr A_long ApplId(eHostApp app) {
  return app == eHostApp::PremierePro ? PF_APPL_ID_PREMIERE : PF_APPL_ID_AFTER_EFFECTS;
}

} // namespace brantok::lumaro::host

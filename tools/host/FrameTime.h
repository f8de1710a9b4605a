#pragma once

#include "ae/sdk/EffectApi.h"

namespace brantok::lumaro::host {

// The time fields of PF_InData for one command; times count time_scale units
// per second. The default is the first frame of an empty clip at 25 frames per
// second.
struct FrameTime {
  A_long currentTime = 0;
  A_long timeStep = 40;
  A_long totalTime = 0;
  A_u_long timeScale = 1000;
};

} // namespace brantok::lumaro::host

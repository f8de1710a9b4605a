#pragma once

#include "ae/sdk/EffectApi.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brantok::lumaro::ae::controls {

// A real number as the host's 16.16 fixed point, saturated at the ends of its
// range (and 0 for a value that is not a number).
inline PF_Fixed ToFixed(double value) {
  if (std::isnan(value)) return 0;
  const double scaled = std::round(value * 65536.0);
  return static_cast<PF_Fixed>(std::clamp(scaled, static_cast<double>(std::numeric_limits<PF_Fixed>::min()),
                                          static_cast<double>(std::numeric_limits<PF_Fixed>::max())));
}

inline double FromFixed(PF_Fixed value) { return static_cast<double>(value) / 65536.0; }

} // namespace brantok::lumaro::ae::controls

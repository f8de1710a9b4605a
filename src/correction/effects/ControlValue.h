#pragma once

#include "correction/effects/Color.h"

#include <cstdint>
#include <variant>

namespace brantok::lumaro::correction::effects {

// The value of any control. The alternative index names the kind: 0 a range
// control's number, 1 an option control's selected index, 2 a colour.
using ControlValue = std::variant<float, std::int32_t, Color>;

} // namespace brantok::lumaro::correction::effects

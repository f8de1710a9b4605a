#pragma once

#include "correction/effects/Color.h"
#include "correction/effects/Position.h"

#include <cstdint>
#include <variant>

namespace brantok::lumaro::correction::effects {

// The value of any control. The alternative index names the kind of value: 0
// a number (a slider's value, an angle in degrees), 1 an option control's
// selected index, 2 a colour, 3 a checkbox's state, 4 a point.
using ControlValue = std::variant<float, std::int32_t, Color, bool, Position>;

} // namespace brantok::lumaro::correction::effects

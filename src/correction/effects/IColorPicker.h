#pragma once

#include "correction/effects/IColorControl.h"

namespace brantok::lumaro::correction::effects {

// A colour chosen by the user. Callers reach colour controls through this
// interface, so that other colour sources could later sit beside it.
class IColorPicker : public IColorControl {};

} // namespace brantok::lumaro::correction::effects

#pragma once

#include "ae/controls/IControlParameter.h"

namespace brantok::lumaro::ae::controls {

// The one parameter of each control kind. A new kind of control is one new
// IControlParameter and one line in ControlParameters.cpp.
class ControlParameters final {
public:
  // Throws std::invalid_argument("Unknown control type") for a control that
  // no kind handles.
  static const IControlParameter& For(const correction::effects::IControl& control);
  static const IControlParameter& For(eControl kind);
};

} // namespace brantok::lumaro::ae::controls

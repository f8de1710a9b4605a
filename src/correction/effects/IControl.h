#pragma once

#include "correction/effects/ControlValue.h"

#include <string>

namespace brantok::lumaro::correction::effects {

// One user-adjustable input of an effect. Controls are plain value holders:
// they validate and clamp nothing (keeping values in range is the business of
// the host parameter that shows them), and do no locking; whoever holds the
// effect serialises access. Kinds are told apart by dynamic_cast to
// IRangeControl, IOptionControl<int> or IColorPicker.
class IControl {
public:
  virtual ~IControl() = default;

  // The stable id by which an effect finds a control and carries its value
  // over when it rebuilds.
  virtual std::string GetId() const = 0;
  virtual std::string GetLabel() const = 0;

  // The current value, in the alternative of the control's kind.
  virtual ControlValue GetValue() const = 0;

  // Stores `value` and returns true when its alternative is this control's
  // own; otherwise changes nothing and returns false. Never converts.
  virtual bool SetValue(const ControlValue& value) = 0;
};

} // namespace brantok::lumaro::correction::effects

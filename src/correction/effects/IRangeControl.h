#pragma once

#include "correction/effects/IControl.h"

namespace brantok::lumaro::correction::effects {

// A number within a range; passed to kernels as one float.
class IRangeControl : public IControl {
public:
  virtual float GetMinimum() const = 0;
  virtual float GetMaximum() const = 0;
  virtual float GetNumber() const = 0;
  virtual void SetNumber(float value) = 0;
  virtual float GetDefaultNumber() const = 0;
};

} // namespace brantok::lumaro::correction::effects

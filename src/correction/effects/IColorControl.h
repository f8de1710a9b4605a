#pragma once

#include "correction/effects/Color.h"
#include "correction/effects/IControl.h"

namespace brantok::lumaro::correction::effects {

// A colour; passed to kernels as one float4.
class IColorControl : public IControl {
public:
  virtual Color GetColor() const = 0;
  virtual void SetColor(const Color& color) = 0;
  virtual Color GetDefaultColor() const = 0;
};

} // namespace brantok::lumaro::correction::effects

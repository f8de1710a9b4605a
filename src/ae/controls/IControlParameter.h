#pragma once

#include "ae/ParameterLayout.h"
#include "ae/sdk/EffectApi.h"
#include "correction/effects/ControlValue.h"

namespace brantok::lumaro::correction::effects {
class IControl;
}

namespace brantok::lumaro::ae::controls {

// The layer's size in full-resolution pixels, which point parameters are
// measured in; at reduced preview resolution the frame is smaller by the
// host's downsampling.
struct HostFrame {
  double width = 0.0;
  double height = 0.0;

  // `width` and `height` are the frame's own pixels.
  static HostFrame Of(const PF_InData& inData, A_long width, A_long height);
};

// How one kind of control is shown on its host parameter: the parameter's
// type, the panel's range, options and default, and the value in both
// directions. Each kind has exactly one of these (ControlParameters), so the
// host layer never tells control kinds apart itself.
class IControlParameter {
public:
  virtual ~IControlParameter() = default;

  virtual eControl GetKind() const = 0;
  virtual PF_ParamType GetHostType() const = 0;
  virtual bool Handles(const correction::effects::IControl& control) const = 0;

  // The host's value into the control, kept inside what the control can take
  // (a range, the options), whatever the host sent.
  virtual void ReadHostValue(const PF_ParamDef& def, correction::effects::IControl& control,
                             const HostFrame& frame) const = 0;
  // The panel's settings for the control (range, options, default) on a copy
  // of the host's definition; the caller names it and sends it.
  virtual void Describe(PF_ParamDef& def, const correction::effects::IControl& control) const = 0;
  // `value` (the control's, read earlier) and the control's default into the
  // host's own definition.
  virtual void WriteHostValue(PF_ParamDef& def, const correction::effects::IControl& control,
                              const correction::effects::ControlValue& value, const HostFrame& frame) const = 0;
};

} // namespace brantok::lumaro::ae::controls

#pragma once

#include "ae/controls/ControlParameter.h"
#include "correction/effects/IRangeControl.h"

namespace brantok::lumaro::ae::controls {

// A slider on a float slider parameter, its range the control's.
class SliderParameter final
    : public ControlParameter<correction::effects::IRangeControl, eControl::Slider, PF_Param_FLOAT_SLIDER> {
protected:
  void Read(const PF_ParamDef& def, correction::effects::IRangeControl& control, const HostFrame& frame) const override;
  void Show(PF_ParamDef& def, const correction::effects::IRangeControl& control) const override;
  void Write(PF_ParamDef& def, const correction::effects::IRangeControl& control,
             const correction::effects::ControlValue& value, const HostFrame& frame) const override;
};

} // namespace brantok::lumaro::ae::controls

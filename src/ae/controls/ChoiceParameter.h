#pragma once

#include "ae/controls/ControlParameter.h"
#include "correction/effects/IOptionControl.h"

namespace brantok::lumaro::ae::controls {

// A choice on a popup parameter listing its options.
class ChoiceParameter final
    : public ControlParameter<correction::effects::IOptionControl<int>, eControl::Choice, PF_Param_POPUP> {
protected:
  void Read(const PF_ParamDef& def, correction::effects::IOptionControl<int>& control,
            const HostFrame& frame) const override;
  void Show(PF_ParamDef& def, const correction::effects::IOptionControl<int>& control) const override;
  void Write(PF_ParamDef& def, const correction::effects::IOptionControl<int>& control,
             const correction::effects::ControlValue& value, const HostFrame& frame) const override;
};

} // namespace brantok::lumaro::ae::controls

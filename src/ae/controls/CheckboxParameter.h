#pragma once

#include "ae/controls/ControlParameter.h"
#include "correction/effects/controls/Checkbox.h"

namespace brantok::lumaro::ae::controls {

// A checkbox on a checkbox parameter.
class CheckboxParameter final
    : public ControlParameter<correction::effects::controls::Checkbox, eControl::Checkbox, PF_Param_CHECKBOX> {
protected:
  void Read(const PF_ParamDef& def, correction::effects::controls::Checkbox& control,
            const HostFrame& frame) const override;
  void Show(PF_ParamDef& def, const correction::effects::controls::Checkbox& control) const override;
  void Write(PF_ParamDef& def, const correction::effects::controls::Checkbox& control,
             const correction::effects::ControlValue& value, const HostFrame& frame) const override;
};

} // namespace brantok::lumaro::ae::controls

#pragma once

#include "ae/controls/ControlParameter.h"
#include "correction/effects/controls/Angle.h"

namespace brantok::lumaro::ae::controls {

// An angle on an angle parameter, in degrees.
class AngleParameter final
    : public ControlParameter<correction::effects::controls::Angle, eControl::Angle, PF_Param_ANGLE> {
protected:
  void Read(const PF_ParamDef& def, correction::effects::controls::Angle& control,
            const HostFrame& frame) const override;
  void Show(PF_ParamDef& def, const correction::effects::controls::Angle& control) const override;
  void Write(PF_ParamDef& def, const correction::effects::controls::Angle& control,
             const correction::effects::ControlValue& value, const HostFrame& frame) const override;
};

} // namespace brantok::lumaro::ae::controls

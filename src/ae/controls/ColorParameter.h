#pragma once

#include "ae/controls/ControlParameter.h"
#include "correction/effects/IColorPicker.h"

namespace brantok::lumaro::ae::controls {

// A colour picker on a colour parameter, 8 bits a channel.
class ColorParameter final
    : public ControlParameter<correction::effects::IColorPicker, eControl::ColorPicker, PF_Param_COLOR> {
protected:
  void Read(const PF_ParamDef& def, correction::effects::IColorPicker& control, const HostFrame& frame) const override;
  void Show(PF_ParamDef& def, const correction::effects::IColorPicker& control) const override;
  void Write(PF_ParamDef& def, const correction::effects::IColorPicker& control,
             const correction::effects::ControlValue& value, const HostFrame& frame) const override;
};

} // namespace brantok::lumaro::ae::controls

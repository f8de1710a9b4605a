#pragma once

#include "ae/controls/ControlParameter.h"
#include "correction/effects/controls/Point.h"

namespace brantok::lumaro::ae::controls {

// A point on a point parameter, whose value is in the layer's pixels and
// whose default is in percent of the layer.
class PointParameter final
    : public ControlParameter<correction::effects::controls::Point, eControl::Point, PF_Param_POINT> {
protected:
  void Read(const PF_ParamDef& def, correction::effects::controls::Point& control,
            const HostFrame& frame) const override;
  void Show(PF_ParamDef& def, const correction::effects::controls::Point& control) const override;
  void Write(PF_ParamDef& def, const correction::effects::controls::Point& control,
             const correction::effects::ControlValue& value, const HostFrame& frame) const override;
};

} // namespace brantok::lumaro::ae::controls

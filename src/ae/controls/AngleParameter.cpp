#include "ae/controls/AngleParameter.h"

#include "ae/controls/FixedPoint.h"
#include "correction/effects/controls/Angle.h"

namespace brantok::lumaro::ae::controls {

using correction::effects::IControl;
using correction::effects::controls::Angle;

eControl AngleParameter::GetKind() const { return eControl::Angle; }
PF_ParamType AngleParameter::GetHostType() const { return PF_Param_ANGLE; }
bool AngleParameter::Handles(const IControl& control) const { return dynamic_cast<const Angle*>(&control) != nullptr; }

void AngleParameter::ReadHostValue(const PF_ParamDef& def, IControl& control, const HostFrame& /*frame*/) const {
  dynamic_cast<Angle&>(control).SetDegrees(static_cast<float>(FromFixed(def.u.ad.value)));
}

void AngleParameter::Describe(PF_ParamDef& def, const IControl& control) const {
  def.u.ad.dephault = ToFixed(dynamic_cast<const Angle&>(control).GetDefaultDegrees());
}

void AngleParameter::WriteHostValue(PF_ParamDef& def, const IControl& control,
                                    const correction::effects::ControlValue& value, const HostFrame& /*frame*/) const {
  def.u.ad.value = ToFixed(std::get<float>(value));
  def.u.ad.dephault = ToFixed(dynamic_cast<const Angle&>(control).GetDefaultDegrees());
}

} // namespace brantok::lumaro::ae::controls

#include "ae/controls/AngleParameter.h"

#include "ae/controls/FixedPoint.h"
#include "correction/effects/controls/Angle.h"

namespace brantok::lumaro::ae::controls {

using correction::effects::controls::Angle;

void AngleParameter::Read(const PF_ParamDef& def, Angle& angle, const HostFrame& /*frame*/) const {
  angle.SetDegrees(static_cast<float>(FromFixed(def.u.ad.value)));
}

void AngleParameter::Show(PF_ParamDef& def, const Angle& angle) const {
  def.u.ad.dephault = ToFixed(angle.GetDefaultDegrees());
}

void AngleParameter::Write(PF_ParamDef& def, const Angle& angle, const correction::effects::ControlValue& value,
                           const HostFrame& /*frame*/) const {
  def.u.ad.value = ToFixed(std::get<float>(value));
  def.u.ad.dephault = ToFixed(angle.GetDefaultDegrees());
}

} // namespace brantok::lumaro::ae::controls

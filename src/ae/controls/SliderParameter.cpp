#include "ae/controls/SliderParameter.h"

#include "correction/effects/IRangeControl.h"

#include <algorithm>
#include <cmath>

namespace brantok::lumaro::ae::controls {

using correction::effects::IControl;
using correction::effects::IRangeControl;

eControl SliderParameter::GetKind() const { return eControl::Slider; }
PF_ParamType SliderParameter::GetHostType() const { return PF_Param_FLOAT_SLIDER; }
bool SliderParameter::Handles(const IControl& control) const {
  return dynamic_cast<const IRangeControl*>(&control) != nullptr;
}

void SliderParameter::ReadHostValue(const PF_ParamDef& def, IControl& control, const HostFrame& /*frame*/) const {
  auto& slider = dynamic_cast<IRangeControl&>(control);
  // A value beyond float range would reach the kernel as infinity.
  const double value = def.u.fs_d.value;
  if (std::isnan(value)) {
    slider.SetNumber(slider.GetDefaultNumber());
    return;
  }
  const double low = slider.GetMinimum();
  const double high = slider.GetMaximum();
  slider.SetNumber(static_cast<float>(low <= high ? std::clamp(value, low, high) : low));
}

void SliderParameter::Describe(PF_ParamDef& def, const IControl& control) const {
  const auto& slider = dynamic_cast<const IRangeControl&>(control);
  auto& range = def.u.fs_d;
  range.valid_min = range.slider_min = slider.GetMinimum();
  range.valid_max = range.slider_max = slider.GetMaximum();
  range.dephault = slider.GetDefaultNumber();
  range.precision = (slider.GetMaximum() - slider.GetMinimum() < 10.0f) ? 2 : 1;
}

void SliderParameter::WriteHostValue(PF_ParamDef& def, const IControl& control,
                                     const correction::effects::ControlValue& value, const HostFrame& /*frame*/) const {
  def.u.fs_d.value = std::get<float>(value);
  def.u.fs_d.dephault = dynamic_cast<const IRangeControl&>(control).GetDefaultNumber();
}

} // namespace brantok::lumaro::ae::controls

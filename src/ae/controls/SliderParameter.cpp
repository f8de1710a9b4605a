#include "ae/controls/SliderParameter.h"

#include "correction/effects/IRangeControl.h"

#include <algorithm>
#include <cmath>

namespace brantok::lumaro::ae::controls {

using correction::effects::IRangeControl;

void SliderParameter::Read(const PF_ParamDef& def, IRangeControl& slider, const HostFrame& /*frame*/) const {
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

void SliderParameter::Show(PF_ParamDef& def, const IRangeControl& slider) const {
  auto& range = def.u.fs_d;
  range.valid_min = range.slider_min = slider.GetMinimum();
  range.valid_max = range.slider_max = slider.GetMaximum();
  range.dephault = slider.GetDefaultNumber();
  range.precision = (slider.GetMaximum() - slider.GetMinimum() < 10.0f) ? 2 : 1;
}

void SliderParameter::Write(PF_ParamDef& def, const IRangeControl& slider,
                            const correction::effects::ControlValue& value, const HostFrame& /*frame*/) const {
  def.u.fs_d.value = std::get<float>(value);
  def.u.fs_d.dephault = slider.GetDefaultNumber();
}

} // namespace brantok::lumaro::ae::controls

#pragma once

#include "EffectHost.h"
#include "ae/ParameterLayout.h"

#include <vector>

namespace brantok::lumaro::ae::test {

using Layout = ParameterLayout;

// The host parameter of a control: its slot (the control's place in the
// effect's list) and its kind.
constexpr PF_ParamIndex ControlParam(A_long slot, eControl kind) {
  return ParameterLayout::FirstControlParam + slot * ParameterLayout::KindsPerSlot + static_cast<A_long>(kind);
}

// The first slider of a test's own package, and the controls of the
// examples the tests load.
constexpr PF_ParamIndex kFirstSlider = ControlParam(0, eControl::Slider);
constexpr PF_ParamIndex kWarmGlowAmount = ControlParam(0, eControl::Slider);
constexpr PF_ParamIndex kWarmGlowTint = ControlParam(1, eControl::ColorPicker);
constexpr PF_ParamIndex kToneChoiceTone = ControlParam(0, eControl::Choice);
constexpr PF_ParamIndex kToneChoiceLevels = ControlParam(1, eControl::Slider);

// The control parameters that the host shows (not invisible).
inline std::vector<PF_ParamIndex> VisibleControlParams(const host::EffectHost& host) {
  std::vector<PF_ParamIndex> visible;
  auto& params = const_cast<host::EffectHost&>(host).Params();
  for (PF_ParamIndex index = ParameterLayout::FirstControlParam; index < static_cast<PF_ParamIndex>(params.Count());
       ++index) {
    if (!(params.At(index).ui_flags & PF_PUI_INVISIBLE)) visible.push_back(index);
  }
  return visible;
}

} // namespace brantok::lumaro::ae::test

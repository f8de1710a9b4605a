#include "ae/controls/ChoiceParameter.h"

#include "ae/KeepString.h"
#include "correction/effects/IOptionControl.h"

#include <algorithm>
#include <cstdint>

namespace brantok::lumaro::ae::controls {
namespace {

using correction::effects::IControl;
using Option = correction::effects::IOptionControl<int>;

// The number of choices the host's popup lists for `options`.
std::int64_t ChoiceCount(const Option& choice) {
  return static_cast<std::int64_t>(
      std::max<std::size_t>(1, std::min(choice.GetOptions().size(), ParameterLayout::MaxPopupChoices)));
}

// A 0-based option index as a host popup value: 1-based, and inside the
// choices the popup lists, whatever index the metadata gave.
A_short ToPopupValue(std::int32_t index, const Option& choice) {
  return static_cast<A_short>(std::clamp<std::int64_t>(static_cast<std::int64_t>(index) + 1, 1, ChoiceCount(choice)));
}

} // namespace

eControl ChoiceParameter::GetKind() const { return eControl::Choice; }
PF_ParamType ChoiceParameter::GetHostType() const { return PF_Param_POPUP; }
bool ChoiceParameter::Handles(const IControl& control) const {
  return dynamic_cast<const Option*>(&control) != nullptr;
}

void ChoiceParameter::ReadHostValue(const PF_ParamDef& def, IControl& control, const HostFrame& /*frame*/) const {
  auto& choice = dynamic_cast<Option&>(control);
  const auto selection =
      std::clamp<std::int64_t>(static_cast<std::int64_t>(def.u.pd.value) - 1, 0, ChoiceCount(choice) - 1);
  choice.SetSelection(static_cast<int>(selection));
}

void ChoiceParameter::Describe(PF_ParamDef& def, const IControl& control) const {
  const auto& choice = dynamic_cast<const Option&>(control);
  def.u.pd.u.namesptr = KeepString(JoinChoices(choice.GetOptions()));
  def.u.pd.num_choices = static_cast<A_short>(std::min(choice.GetOptions().size(), ParameterLayout::MaxPopupChoices));
  def.u.pd.dephault = ToPopupValue(choice.GetDefaultSelection(), choice);
}

void ChoiceParameter::WriteHostValue(PF_ParamDef& def, const IControl& control,
                                     const correction::effects::ControlValue& value, const HostFrame& /*frame*/) const {
  const auto& choice = dynamic_cast<const Option&>(control);
  def.u.pd.value = ToPopupValue(std::get<std::int32_t>(value), choice);
  def.u.pd.dephault = ToPopupValue(choice.GetDefaultSelection(), choice);
}

} // namespace brantok::lumaro::ae::controls

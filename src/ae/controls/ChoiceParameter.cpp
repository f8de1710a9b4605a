#include "ae/controls/ChoiceParameter.h"

#include "ae/KeepString.h"
#include "correction/effects/IOptionControl.h"

#include <algorithm>
#include <cstdint>

namespace brantok::lumaro::ae::controls {
namespace {

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

void ChoiceParameter::Read(const PF_ParamDef& def, Option& choice, const HostFrame& /*frame*/) const {
  const auto selection =
      std::clamp<std::int64_t>(static_cast<std::int64_t>(def.u.pd.value) - 1, 0, ChoiceCount(choice) - 1);
  choice.SetSelection(static_cast<int>(selection));
}

void ChoiceParameter::Show(PF_ParamDef& def, const Option& choice) const {
  def.u.pd.u.namesptr = KeepString(JoinChoices(choice.GetOptions()));
  def.u.pd.num_choices = static_cast<A_short>(std::min(choice.GetOptions().size(), ParameterLayout::MaxPopupChoices));
  def.u.pd.dephault = ToPopupValue(choice.GetDefaultSelection(), choice);
}

void ChoiceParameter::Write(PF_ParamDef& def, const Option& choice, const correction::effects::ControlValue& value,
                            const HostFrame& /*frame*/) const {
  def.u.pd.value = ToPopupValue(std::get<std::int32_t>(value), choice);
  def.u.pd.dephault = ToPopupValue(choice.GetDefaultSelection(), choice);
}

} // namespace brantok::lumaro::ae::controls

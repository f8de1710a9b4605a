#include "ae/ParameterLayout.h"

#include "ae/controls/ControlParameters.h"
#include "core/PathText.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace brantok::lumaro::ae {

using correction::effects::IControl;

eControl GetControlKind(const std::shared_ptr<IControl>& control) {
  if (!control) throw std::invalid_argument("Unknown control type");
  return controls::ControlParameters::For(*control).GetKind();
}

const std::set<eControl>& GetControlKinds() {
  static const std::set<eControl> kinds{eControl::ColorPicker, eControl::Slider,   eControl::Choice,
                                        eControl::Angle,       eControl::Checkbox, eControl::Point};
  return kinds;
}

const std::set<A_long>& GetControlParamIndices() {
  static const std::set<A_long> indices = [] {
    std::set<A_long> all;
    const auto count = static_cast<A_long>(GetControlKinds().size()) * ParameterLayout::ControlSlots;
    for (A_long n = 0; n < count; ++n) all.insert(n + ParameterLayout::FirstControlParam);
    return all;
  }();
  return indices;
}

void ForEachControl(const std::vector<std::shared_ptr<IControl>>& controls, const ControlFunction& fn) {
  const auto slots = std::min<std::size_t>(controls.size(), ParameterLayout::ControlSlots);
  for (std::size_t position = 0; position < slots; ++position) {
    const auto kind = GetControlKind(controls[position]);
    const auto index = ParameterLayout::FirstControlParam +
                       static_cast<A_long>(position) * ParameterLayout::KindsPerSlot + static_cast<A_long>(kind);
    fn(controls[position], index, kind);
  }
}

std::array<std::string, 4> BuildEffectChoices(const std::optional<std::filesystem::path>& path) {
  if (!path) return {"None", "Browse...", "", ""};
  return {"None", "Browse...", "(-", core::PathToNarrow(path->stem())};
}

std::string JoinChoices(const std::vector<std::string>& choices) {
  std::string joined;
  const auto count = std::min(choices.size(), ParameterLayout::MaxPopupChoices);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) joined += '|';
    joined += choices[i];
  }
  return joined;
}

void SetParamName(PF_ParamDef& def, const std::string& name) {
  std::memset(def.name, 0, sizeof(def.name));
  std::memcpy(def.name, name.data(), std::min(name.size(), sizeof(def.name) - 1));
}

PF_ParamDef* FindParam(const PF_InData* inData, PF_ParamDef* params[], A_long index) {
  if (!inData || !params || index < 0 || index >= inData->num_params) return nullptr;
  return params[index];
}

PF_ParamDef* FindParamOfType(const PF_InData* inData, PF_ParamDef* params[], A_long index, PF_ParamType type) {
  auto* def = FindParam(inData, params, index);
  return def && def->param_type == type ? def : nullptr;
}

} // namespace brantok::lumaro::ae

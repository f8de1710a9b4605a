#include "ae/ParameterPanel.h"

#include "ae/KeepString.h"
#include "ae/ScopedSuite.h"
#include "ae/controls/ControlParameters.h"

#include <algorithm>

namespace brantok::lumaro::ae {
namespace {

using correction::ICustomEffect;
using correction::effects::IControl;

void CallUpdateParamUI(const ParamUtilsSuite& suite, const PF_InData* inData, A_long index, const PF_ParamDef& def) {
  // Host errors here are cosmetic: the next parameter is still processed.
  if (suite->PF_UpdateParamUI) suite->PF_UpdateParamUI(inData->effect_ref, index, &def);
}

} // namespace

ParameterPanel::ParameterPanel(std::mutex& renderMutex) : renderMutex_(renderMutex) {}

A_long ParameterPanel::GetPopup(const PF_InData* inData, PF_ParamDef* params[]) const {
  const auto* popup = FindParamOfType(inData, params, ParameterLayout::EffectPopup, PF_Param_POPUP);
  return popup ? popup->u.pd.value : ParameterLayout::PopupNone;
}

void ParameterPanel::SynchroniseHostToEffect(ICustomEffect& effect, const SlotMap& slots, const PF_InData* inData,
                                             PF_ParamDef* params[], const controls::HostFrame& frame) const {
  const auto& controls = effect.GetControls();
  for (const auto& place : slots.Arrange(controls)) {
    if (!place.held) continue;
    const auto& control = controls[place.control];
    const auto kind = GetControlKind(control);
    const auto& parameter = controls::ControlParameters::For(kind);
    if (const auto* def = FindParamOfType(inData, params, place.ParamIndex(kind), parameter.GetHostType())) {
      parameter.ReadHostValue(*def, *control, frame);
    }
  }
}

std::unordered_set<int> ParameterPanel::SynchroniseEffectToHost(PF_InData* inData, PF_OutData* outData,
                                                                const ICustomEffect& effect, PF_ParamDef* params[],
                                                                bool setValues, const SlotMap* slots) const {
  std::unordered_set<int> shown;
  const auto& controls = effect.GetControls();
  // A frame may be writing the controls' values right now; they are read
  // once, under the render lock, and the host is called without it.
  std::vector<correction::effects::ControlValue> values;
  if (setValues) {
    std::lock_guard lock(renderMutex_);
    for (const auto& control : controls) values.push_back(control->GetValue());
  }
  const auto places = (setValues || !slots ? SlotMap::Of(controls) : *slots).Arrange(controls);
  const auto frame = controls::HostFrame::Of(*inData, inData->width, inData->height);
  for (const auto& place : places) {
    const auto& control = controls[place.control];
    const auto kind = GetControlKind(control);
    const auto index = place.ParamIndex(kind);
    const auto& parameter = controls::ControlParameters::For(kind);
    auto* def = FindParamOfType(inData, params, index, parameter.GetHostType());
    if (!def) continue;
    ParamUtilsSuite suite(inData, outData, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3);
    const bool disabled = effect.HasBuildFailed() || !place.held;
    def->ui_flags &= ~PF_PUI_INVISIBLE;
    def->ui_flags = disabled ? (def->ui_flags | PF_PUI_DISABLED) : (def->ui_flags & ~PF_PUI_DISABLED);
    CallUpdateParamUI(suite, inData, index, *def);
    auto copy = *def;
    SetParamName(copy, control->GetLabel());
    parameter.Describe(copy, *control);
    CallUpdateParamUI(suite, inData, index, copy);
    if (setValues) {
      parameter.WriteHostValue(*def, *control, values[place.control], frame);
      def->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
    }
    shown.insert(index);
  }
  return shown;
}

void ParameterPanel::KeepClipValues(const PF_InData* inData, PF_ParamDef* params[], ICustomEffect& effect,
                                    ICustomEffect* previous, const SlotMap* previousSlots) const {
  const auto frame = controls::HostFrame::Of(*inData, inData->width, inData->height);
  auto& source = previous ? *previous : effect;
  const auto slots = previousSlots ? *previousSlots : SlotMap::Of(source.GetControls());
  // Frames of clips sharing the previous effect write its controls too.
  std::lock_guard lock(renderMutex_);
  SynchroniseHostToEffect(source, slots, inData, params, frame);
  if (!previous) return;
  for (const auto& control : effect.GetControls()) {
    if (const auto old = previous->FindControl(control->GetId())) control->CarryValueFrom(*old);
  }
}

bool ParameterPanel::UpdatePopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], A_long index,
                                 const std::vector<std::string>& choices, std::optional<A_short> newDefault,
                                 const std::optional<std::string>& newName) const {
  const auto* def = FindParamOfType(inData, params, index, PF_Param_POPUP);
  if (!def) return false;
  auto copy = *def;
  if (newName) SetParamName(copy, *newName);
  copy.u.pd.u.namesptr = KeepString(JoinChoices(choices));
  copy.u.pd.num_choices = static_cast<A_short>(std::min<std::size_t>(choices.size(), 0x7FFF));
  if (newDefault) copy.u.pd.dephault = *newDefault;
  ParamUtilsSuite suite(inData, outData, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3);
  if (!suite->PF_UpdateParamUI) return false;
  return suite->PF_UpdateParamUI(inData->effect_ref, index, &copy) == PF_Err_NONE;
}

void ParameterPanel::SetPopup(PF_InData* inData, PF_ParamDef* params[], A_long value) const {
  auto* popup = FindParamOfType(inData, params, ParameterLayout::EffectPopup, PF_Param_POPUP);
  if (!popup) return;
  popup->u.pd.value = value;
  popup->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
}

void ParameterPanel::RebuildPopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                  const std::optional<std::filesystem::path>& path, const std::string& note) const {
  auto choices = BuildEffectChoices(path);
  if (path && !note.empty()) choices[ParameterLayout::PopupEffect - 1] += " (" + note + ")";
  UpdatePopup(inData, outData, params, ParameterLayout::EffectPopup, {choices.begin(), choices.end()}, std::nullopt,
              std::nullopt);
}

void ParameterPanel::HideParams(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                std::vector<A_long> indices) const {
  if (indices.empty()) return;
  std::sort(indices.begin(), indices.end());
  ParamUtilsSuite suite(inData, outData, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3);
  for (const auto index : indices) {
    auto* def = FindParam(inData, params, index);
    if (!def) continue;
    def->ui_flags |= PF_PUI_INVISIBLE;
    CallUpdateParamUI(suite, inData, index, *def);
  }
}

} // namespace brantok::lumaro::ae

#include "ae/InterfaceBuilder.h"

#include "ae/HostHandle.h"

#include "ae/KeepString.h"
#include "ae/ScopedSuite.h"
#include "core/ProductInformation.h"

#include <algorithm>
#include <cstring>

namespace brantok::lumaro::ae {
namespace {

// Points are placed in percent of the layer, as 16.16 fixed point.
constexpr PF_Fixed LayerCentre = 50 << 16;

std::vector<std::string> DefaultOptions() {
  std::vector<std::string> options;
  for (int i = 1; i <= 16; ++i) options.push_back("option " + std::to_string(i));
  return options;
}

} // namespace

InterfaceBuilder::InterfaceBuilder(PF_InData* inData, PF_OutData* outData) : inData_(inData), outData_(outData) {}

PF_Err InterfaceBuilder::AddAll() {
  // The host counts its input layer among the parameters and checks the
  // count against its add_param calls: a complete setup declares 102.
  outData_->num_params = 1;
  const std::string version(core::ProductInformation::VersionText);
  if (auto error = AddButton(ParameterLayout::VersionButton, "Version: " + version, "Check for updates...", 0)) {
    return error;
  }
  if (auto error = AddButton(ParameterLayout::SyncButton, "", "Sync From Lumaro", 0)) return error;
  const auto choices = BuildEffectChoices(std::nullopt);
  if (auto error = AddPopup(ParameterLayout::EffectPopup, "Effect", {choices.begin(), choices.end()}, true, false)) {
    return error;
  }
  if (auto error = AddEffectPathParam(ParameterLayout::EffectPath, "Effect Path")) return error;
  if (auto error = AddButton(ParameterLayout::Information, "Information", "OK", PF_PUI_INVISIBLE)) return error;
  for (const auto index : GetControlParamIndices()) {
    if (auto error = AddControlParam(index)) return error;
  }
  return PF_Err_NONE;
}

void InterfaceBuilder::Clear(A_long index, PF_ParamType type, const std::string& name, PF_ParamFlags flags,
                             PF_ParamUIFlags uiFlags) {
  def_ = PF_ParamDef{};
  def_.uu.id = index;
  def_.param_type = type;
  SetParamName(def_, name);
  def_.flags = flags;
  def_.ui_flags = uiFlags;
}

PF_Err InterfaceBuilder::Add() {
  if (!inData_->inter.add_param) return PF_Err_INVALID_CALLBACK;
  const auto error = inData_->inter.add_param(inData_->effect_ref, -1, &def_);
  if (error == PF_Err_NONE) ++outData_->num_params;
  return error;
}

PF_Err InterfaceBuilder::AddButton(A_long index, const std::string& name, const std::string& label,
                                   PF_ParamUIFlags uiFlags) {
  Clear(index, PF_Param_BUTTON, name, PF_ParamFlag_SUPERVISE, uiFlags);
  def_.u.button_d.u.namesptr = KeepString(label);
  return Add();
}

PF_Err InterfaceBuilder::AddPopup(A_long index, const std::string& name, const std::vector<std::string>& choices,
                                  bool supervised, bool hidden) {
  Clear(index, PF_Param_POPUP, name, PF_ParamFlag_CANNOT_TIME_VARY | (supervised ? PF_ParamFlag_SUPERVISE : 0),
        hidden ? PF_PUI_INVISIBLE : 0);
  def_.u.pd.num_choices = static_cast<A_short>(std::min(choices.size(), ParameterLayout::MaxPopupChoices));
  def_.u.pd.value = 1;
  def_.u.pd.dephault = 1;
  def_.u.pd.u.namesptr = KeepString(JoinChoices(choices));
  return Add();
}

PF_Err InterfaceBuilder::AddEffectPathParam(A_long index, const std::string& name) {
  HandleSuite handles(inData_, outData_, kPFHandleSuite, kPFHandleSuiteVersion1);
  if (!HostHandle::CanMake(handles.operator->())) return PF_Err_INVALID_CALLBACK;
  const auto handle = HostHandle::Make(*handles.operator->(), ParameterLayout::EffectPathSize);
  if (!handle) return PF_Err_OUT_OF_MEMORY;

  Clear(index, PF_Param_ARBITRARY_DATA, name, PF_ParamFlag_CANNOT_TIME_VARY, PF_PUI_NO_ECW_UI);
  def_.u.arb_d.id = static_cast<A_short>(index);
  def_.u.arb_d.dephault = handle;
  const auto error = Add();
  // A host that refused the parameter never took the block over.
  if (error != PF_Err_NONE) handles->host_dispose_handle(handle);
  return error;
}

PF_Err InterfaceBuilder::AddControlParam(A_long index) {
  const auto name = "Control " + std::to_string(index - ParameterLayout::FirstControlParam + 1);
  const auto kind = static_cast<eControl>((index - ParameterLayout::FirstControlParam) % ParameterLayout::KindsPerSlot);
  switch (kind) {
  case eControl::ColorPicker:
    Clear(index, PF_Param_COLOR, name, 0, PF_PUI_INVISIBLE);
    def_.u.cd.value = PF_Pixel{255, 0, 0, 0};
    def_.u.cd.dephault = PF_Pixel{255, 0, 0, 0};
    break;
  case eControl::Slider:
    // From 0, the value and default 0 too, as Clear leaves them.
    Clear(index, PF_Param_FLOAT_SLIDER, name, 0, 0);
    def_.u.fs_d.valid_max = def_.u.fs_d.slider_max = 100.0f;
    def_.u.fs_d.precision = 1;
    break;
  case eControl::Choice:
    return AddPopup(index, name, DefaultOptions(), false, true);
  case eControl::Angle:
    Clear(index, PF_Param_ANGLE, name, 0, PF_PUI_INVISIBLE);
    break;
  case eControl::Checkbox:
    Clear(index, PF_Param_CHECKBOX, name, PF_ParamFlag_CANNOT_TIME_VARY, PF_PUI_INVISIBLE);
    def_.u.bd.u.nameptr = KeepString("");
    break;
  case eControl::Point:
    Clear(index, PF_Param_POINT, name, 0, PF_PUI_INVISIBLE);
    def_.u.td.x_value = def_.u.td.y_value = LayerCentre;
    def_.u.td.x_dephault = def_.u.td.y_dephault = LayerCentre;
    break;
  }
  return Add();
}

} // namespace brantok::lumaro::ae

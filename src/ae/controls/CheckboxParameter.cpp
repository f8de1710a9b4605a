#include "ae/controls/CheckboxParameter.h"

#include "correction/effects/controls/Checkbox.h"

namespace brantok::lumaro::ae::controls {

using correction::effects::IControl;
using correction::effects::controls::Checkbox;

eControl CheckboxParameter::GetKind() const { return eControl::Checkbox; }
PF_ParamType CheckboxParameter::GetHostType() const { return PF_Param_CHECKBOX; }
bool CheckboxParameter::Handles(const IControl& control) const {
  return dynamic_cast<const Checkbox*>(&control) != nullptr;
}

void CheckboxParameter::ReadHostValue(const PF_ParamDef& def, IControl& control, const HostFrame& /*frame*/) const {
  dynamic_cast<Checkbox&>(control).SetChecked(def.u.bd.value != 0);
}

void CheckboxParameter::Describe(PF_ParamDef& def, const IControl& control) const {
  def.u.bd.dephault = dynamic_cast<const Checkbox&>(control).GetDefaultChecked() ? 1 : 0;
}

void CheckboxParameter::WriteHostValue(PF_ParamDef& def, const IControl& control,
                                       const correction::effects::ControlValue& value,
                                       const HostFrame& /*frame*/) const {
  def.u.bd.value = std::get<bool>(value) ? 1 : 0;
  def.u.bd.dephault = dynamic_cast<const Checkbox&>(control).GetDefaultChecked() ? 1 : 0;
}

} // namespace brantok::lumaro::ae::controls

#include "ae/controls/CheckboxParameter.h"

#include "correction/effects/controls/Checkbox.h"

namespace brantok::lumaro::ae::controls {

using correction::effects::controls::Checkbox;

void CheckboxParameter::Read(const PF_ParamDef& def, Checkbox& checkbox, const HostFrame& /*frame*/) const {
  checkbox.SetChecked(def.u.bd.value != 0);
}

void CheckboxParameter::Show(PF_ParamDef& def, const Checkbox& checkbox) const {
  def.u.bd.dephault = checkbox.GetDefaultChecked() ? 1 : 0;
}

void CheckboxParameter::Write(PF_ParamDef& def, const Checkbox& checkbox,
                              const correction::effects::ControlValue& value, const HostFrame& /*frame*/) const {
  def.u.bd.value = std::get<bool>(value) ? 1 : 0;
  def.u.bd.dephault = checkbox.GetDefaultChecked() ? 1 : 0;
}

} // namespace brantok::lumaro::ae::controls

#pragma once

#include "ae/controls/IControlParameter.h"
#include "correction/effects/IControl.h"

namespace brantok::lumaro::ae::controls {

// What the parameter of every control kind shares: its kind, its host type,
// the controls it takes (those of the `Control` interface or class), and the
// one cast from IControl, after which each kind works on its own type.
template <typename Control, eControl Kind, PF_ParamType HostType>
class ControlParameter : public IControlParameter {
public:
  eControl GetKind() const final { return Kind; }
  PF_ParamType GetHostType() const final { return HostType; }
  bool Handles(const correction::effects::IControl& control) const final {
    return dynamic_cast<const Control*>(&control) != nullptr;
  }
  void ReadHostValue(const PF_ParamDef& def, correction::effects::IControl& control,
                     const HostFrame& frame) const final {
    Read(def, dynamic_cast<Control&>(control), frame);
  }
  void Describe(PF_ParamDef& def, const correction::effects::IControl& control) const final {
    Show(def, dynamic_cast<const Control&>(control));
  }
  void WriteHostValue(PF_ParamDef& def, const correction::effects::IControl& control,
                      const correction::effects::ControlValue& value, const HostFrame& frame) const final {
    Write(def, dynamic_cast<const Control&>(control), value, frame);
  }

protected:
  virtual void Read(const PF_ParamDef& def, Control& control, const HostFrame& frame) const = 0;
  virtual void Show(PF_ParamDef& def, const Control& control) const = 0;
  virtual void Write(PF_ParamDef& def, const Control& control, const correction::effects::ControlValue& value,
                     const HostFrame& frame) const = 0;
};

} // namespace brantok::lumaro::ae::controls

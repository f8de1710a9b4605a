#pragma once

#include "ae/controls/IControlParameter.h"

namespace brantok::lumaro::ae::controls {

// A colour picker on a colour parameter, 8 bits a channel.
class ColorParameter final : public IControlParameter {
public:
  eControl GetKind() const override;
  PF_ParamType GetHostType() const override;
  bool Handles(const correction::effects::IControl& control) const override;
  void ReadHostValue(const PF_ParamDef& def, correction::effects::IControl& control,
                     const HostFrame& frame) const override;
  void Describe(PF_ParamDef& def, const correction::effects::IControl& control) const override;
  void WriteHostValue(PF_ParamDef& def, const correction::effects::IControl& control,
                      const correction::effects::ControlValue& value, const HostFrame& frame) const override;
};

} // namespace brantok::lumaro::ae::controls

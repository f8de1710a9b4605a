#pragma once

#include "ae/controls/IControlParameter.h"

namespace brantok::lumaro::ae::controls {

// A point on a point parameter, whose value is in the layer's pixels and
// whose default is in percent of the layer.
class PointParameter final : public IControlParameter {
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

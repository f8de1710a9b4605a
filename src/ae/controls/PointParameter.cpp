#include "ae/controls/PointParameter.h"

#include "ae/controls/FixedPoint.h"
#include "correction/effects/controls/Point.h"

namespace brantok::lumaro::ae::controls {
namespace {

using correction::effects::IControl;
using correction::effects::Position;
using correction::effects::controls::Point;

// Pixels of the layer to a fraction of it, and back; a layer of unknown size
// leaves the point where its fraction would be on a layer of one pixel.
double ToFraction(PF_Fixed pixels, double size) { return size > 0.0 ? FromFixed(pixels) / size : FromFixed(pixels); }
PF_Fixed ToPixels(float fraction, double size) { return ToFixed(fraction * (size > 0.0 ? size : 1.0)); }

} // namespace

eControl PointParameter::GetKind() const { return eControl::Point; }
PF_ParamType PointParameter::GetHostType() const { return PF_Param_POINT; }
bool PointParameter::Handles(const IControl& control) const { return dynamic_cast<const Point*>(&control) != nullptr; }

void PointParameter::ReadHostValue(const PF_ParamDef& def, IControl& control, const HostFrame& frame) const {
  dynamic_cast<Point&>(control).SetPosition(Position{static_cast<float>(ToFraction(def.u.td.x_value, frame.width)),
                                                     static_cast<float>(ToFraction(def.u.td.y_value, frame.height))});
}

void PointParameter::Describe(PF_ParamDef& def, const IControl& control) const {
  const auto position = dynamic_cast<const Point&>(control).GetDefaultPosition();
  def.u.td.x_dephault = ToFixed(position.x * 100.0);
  def.u.td.y_dephault = ToFixed(position.y * 100.0);
}

void PointParameter::WriteHostValue(PF_ParamDef& def, const IControl& control,
                                    const correction::effects::ControlValue& value, const HostFrame& frame) const {
  const auto position = std::get<Position>(value);
  def.u.td.x_value = ToPixels(position.x, frame.width);
  def.u.td.y_value = ToPixels(position.y, frame.height);
  Describe(def, control);
}

} // namespace brantok::lumaro::ae::controls

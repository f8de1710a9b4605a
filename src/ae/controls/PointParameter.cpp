#include "ae/controls/PointParameter.h"

#include "ae/controls/FixedPoint.h"
#include "core/Logger.h"
#include "correction/effects/controls/Point.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace brantok::lumaro::ae::controls {
namespace {

using correction::effects::Position;
using correction::effects::controls::Point;

// Pixels of the layer to a fraction of it, and back; a layer of unknown size
// leaves the point where its fraction would be on a layer of one pixel.
double ToFraction(PF_Fixed pixels, double size) { return size > 0.0 ? FromFixed(pixels) / size : FromFixed(pixels); }
PF_Fixed ToPixels(float fraction, double size) { return ToFixed(fraction * (size > 0.0 ? size : 1.0)); }

} // namespace

void PointParameter::Read(const PF_ParamDef& def, Point& point, const HostFrame& frame) const {
  point.SetPosition(Position{static_cast<float>(ToFraction(def.u.td.x_value, frame.width)),
                             static_cast<float>(ToFraction(def.u.td.y_value, frame.height))});
}

void PointParameter::Show(PF_ParamDef& def, const Point& point) const {
  const auto position = point.GetDefaultPosition();
  def.u.td.x_dephault = ToFixed(position.x * 100.0);
  def.u.td.y_dephault = ToFixed(position.y * 100.0);
}

void PointParameter::Write(PF_ParamDef& def, const Point& point, const correction::effects::ControlValue& value,
                           const HostFrame& frame) const {
  const auto position = std::get<Position>(value);
  def.u.td.x_value = ToPixels(position.x, frame.width);
  def.u.td.y_value = ToPixels(position.y, frame.height);
  Show(def, point);
  // The host keeps points in 16.16 fixed-point pixels: a point far outside a
  // large layer cannot be stored, the nearest that can is, and that is said.
  const auto saturated = [](PF_Fixed pixels) {
    return pixels == std::numeric_limits<PF_Fixed>::max() || pixels == std::numeric_limits<PF_Fixed>::min();
  };
  if (saturated(def.u.td.x_value) || saturated(def.u.td.y_value)) {
    const double x = ToFraction(def.u.td.x_value, frame.width);
    const double y = ToFraction(def.u.td.y_value, frame.height);
    std::ostringstream text;
    text << "Point control '" << point.GetId() << "' at " << position.x << "," << position.y
         << " of the frame lies beyond the 32767 pixels a host can store for a " << frame.width << "x" << frame.height
         << " layer; it is kept at " << x << "," << y;
    core::Logger::Log(text.str(), core::eLogChannel::Info);
  }
}

} // namespace brantok::lumaro::ae::controls

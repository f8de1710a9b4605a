#include "ae/controls/ColorParameter.h"

#include "correction/effects/IColorPicker.h"

#include <cmath>
#include <cstdint>

namespace brantok::lumaro::ae::controls {
namespace {

using correction::effects::Color;
using correction::effects::IColorPicker;

// A component in 0..1 as a host channel byte: truncated, low 8 bits. Values
// far outside the range (or not a number) give 0 rather than an undefined
// conversion.
A_u_char ToChannel(float component) {
  const double scaled = static_cast<double>(component) * 255.0;
  if (!(std::fabs(scaled) < 2147483648.0)) return 0;
  return static_cast<A_u_char>(static_cast<std::int64_t>(scaled) & 0xFF);
}

PF_Pixel ToPixel(const Color& color) {
  return PF_Pixel{ToChannel(color.alpha), ToChannel(color.red), ToChannel(color.green), ToChannel(color.blue)};
}

} // namespace

void ColorParameter::Read(const PF_ParamDef& def, IColorPicker& picker, const HostFrame& /*frame*/) const {
  // The host's alpha is not the user's: colour parameters have none.
  const auto& value = def.u.cd.value;
  picker.SetColor({value.red / 255.0f, value.green / 255.0f, value.blue / 255.0f, 1.0f});
}

void ColorParameter::Show(PF_ParamDef& def, const IColorPicker& picker) const {
  const auto color = picker.GetDefaultColor();
  def.u.cd.dephault.red = ToChannel(color.red);
  def.u.cd.dephault.green = ToChannel(color.green);
  def.u.cd.dephault.blue = ToChannel(color.blue);
}

void ColorParameter::Write(PF_ParamDef& def, const IColorPicker& picker, const correction::effects::ControlValue& value,
                           const HostFrame& /*frame*/) const {
  def.u.cd.value = ToPixel(std::get<Color>(value));
  def.u.cd.dephault = ToPixel(picker.GetDefaultColor());
}

} // namespace brantok::lumaro::ae::controls

#include "correction/effects/controls/ColorPicker.h"

#include <utility>

namespace brantok::lumaro::correction::effects::controls {

ColorPicker::ColorPicker(std::string id, std::string label, const Color& color) :
    id_(std::move(id)), label_(std::move(label)), color_(color), defaultColor_(color) {}

std::string ColorPicker::GetId() const { return id_; }
std::string ColorPicker::GetLabel() const { return label_; }
ControlValue ColorPicker::GetValue() const { return color_; }

bool ColorPicker::SetValue(const ControlValue& value) {
  const auto* color = std::get_if<Color>(&value);
  if (!color) return false;
  color_ = *color;
  return true;
}

Color ColorPicker::GetColor() const { return color_; }
void ColorPicker::SetColor(const Color& color) { color_ = color; }
Color ColorPicker::GetDefaultColor() const { return defaultColor_; }

} // namespace brantok::lumaro::correction::effects::controls

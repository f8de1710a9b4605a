#include "correction/effects/controls/ColorPicker.h"

#include "gpu/IProgram.h"

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

std::vector<std::string> ColorPicker::GetKernelTypes() const { return {"float4"}; }

bool ColorPicker::SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                                    std::uint32_t index) const {
  return program.SetArgument(queue, kernel, index, gpu::Float4{color_.red, color_.green, color_.blue, color_.alpha});
}

void ColorPicker::CarryValueFrom(const IControl& old) {
  if (const auto* picker = dynamic_cast<const ColorPicker*>(&old)) color_ = picker->color_;
}

} // namespace brantok::lumaro::correction::effects::controls

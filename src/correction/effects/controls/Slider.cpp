#include "correction/effects/controls/Slider.h"

#include "gpu/IProgram.h"

#include <algorithm>
#include <utility>

namespace brantok::lumaro::correction::effects::controls {

Slider::Slider(std::string id, std::string label, float minimum, float maximum, float defaultValue) :
    Slider(std::move(id), std::move(label), minimum, maximum, defaultValue, defaultValue) {}

Slider::Slider(std::string id, std::string label, float minimum, float maximum, float initial, float defaultValue) :
    id_(std::move(id)), label_(std::move(label)), value_(initial), minimum_(minimum), maximum_(maximum),
    defaultValue_(defaultValue) {}

std::string Slider::GetId() const { return id_; }
std::string Slider::GetLabel() const { return label_; }
ControlValue Slider::GetValue() const { return value_; }

bool Slider::SetValue(const ControlValue& value) {
  const auto* number = std::get_if<float>(&value);
  if (!number) return false;
  value_ = *number;
  return true;
}

float Slider::GetMinimum() const { return minimum_; }
float Slider::GetMaximum() const { return maximum_; }
float Slider::GetNumber() const { return value_; }
void Slider::SetNumber(float value) { value_ = value; }
float Slider::GetDefaultNumber() const { return defaultValue_; }

std::vector<std::string> Slider::GetKernelTypes() const { return {"float"}; }

bool Slider::SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                               std::uint32_t index) const {
  return program.SetArgument(queue, kernel, index, value_);
}

void Slider::CarryValueFrom(const IControl& old) {
  // A new version may have narrowed the range: the value moves to its
  // nearest end rather than leaving it.
  if (const auto* slider = dynamic_cast<const Slider*>(&old)) {
    value_ = minimum_ <= maximum_ ? std::clamp(slider->value_, minimum_, maximum_) : slider->value_;
  }
}

} // namespace brantok::lumaro::correction::effects::controls

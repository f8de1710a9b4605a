#include "correction/effects/controls/Point.h"

#include "gpu/IProgram.h"

#include <utility>

namespace brantok::lumaro::correction::effects::controls {

Point::Point(std::string id, std::string label, const Position& initial, const Position& defaultPosition) :
    id_(std::move(id)), label_(std::move(label)), position_(initial), defaultPosition_(defaultPosition) {}

std::string Point::GetId() const { return id_; }
std::string Point::GetLabel() const { return label_; }
ControlValue Point::GetValue() const { return position_; }

bool Point::SetValue(const ControlValue& value) {
  const auto* own = std::get_if<Position>(&value);
  if (!own) return false;
  position_ = *own;
  return true;
}

std::vector<std::string> Point::GetKernelTypes() const { return {"float2"}; }

bool Point::SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                              std::uint32_t index) const {
  return program.SetArgument(queue, kernel, index, gpu::Float2{position_.x, position_.y});
}

void Point::CarryValueFrom(const IControl& old) {
  if (const auto* same = dynamic_cast<const Point*>(&old)) position_ = same->position_;
}

} // namespace brantok::lumaro::correction::effects::controls

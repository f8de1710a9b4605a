#include "correction/effects/controls/Angle.h"

#include "gpu/IProgram.h"

#include <utility>

namespace brantok::lumaro::correction::effects::controls {

Angle::Angle(std::string id, std::string label, float initial, float defaultDegrees) :
    id_(std::move(id)), label_(std::move(label)), degrees_(initial), defaultDegrees_(defaultDegrees) {}

std::string Angle::GetId() const { return id_; }
std::string Angle::GetLabel() const { return label_; }
ControlValue Angle::GetValue() const { return degrees_; }

bool Angle::SetValue(const ControlValue& value) {
  const auto* own = std::get_if<float>(&value);
  if (!own) return false;
  degrees_ = *own;
  return true;
}

std::vector<std::string> Angle::GetKernelTypes() const { return {"float"}; }

bool Angle::SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                              std::uint32_t index) const {
  return program.SetArgument(queue, kernel, index, degrees_);
}

void Angle::CarryValueFrom(const IControl& old) {
  if (const auto* same = dynamic_cast<const Angle*>(&old)) degrees_ = same->degrees_;
}

} // namespace brantok::lumaro::correction::effects::controls

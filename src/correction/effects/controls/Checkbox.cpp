#include "correction/effects/controls/Checkbox.h"

#include "gpu/IProgram.h"

#include <utility>

namespace brantok::lumaro::correction::effects::controls {

Checkbox::Checkbox(std::string id, std::string label, bool initial, bool defaultValue) :
    id_(std::move(id)), label_(std::move(label)), checked_(initial), defaultChecked_(defaultValue) {}

std::string Checkbox::GetId() const { return id_; }
std::string Checkbox::GetLabel() const { return label_; }
ControlValue Checkbox::GetValue() const { return checked_; }

bool Checkbox::SetValue(const ControlValue& value) {
  const auto* own = std::get_if<bool>(&value);
  if (!own) return false;
  checked_ = *own;
  return true;
}

std::vector<std::string> Checkbox::GetKernelTypes() const { return {"int", "uint", "unsigned int"}; }

bool Checkbox::SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                                 std::uint32_t index) const {
  return program.SetArgument(queue, kernel, index, static_cast<std::int32_t>(checked_ ? 1 : 0));
}

void Checkbox::CarryValueFrom(const IControl& old) {
  if (const auto* same = dynamic_cast<const Checkbox*>(&old)) checked_ = same->checked_;
}

} // namespace brantok::lumaro::correction::effects::controls

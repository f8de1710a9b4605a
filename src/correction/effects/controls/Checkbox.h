#pragma once

#include "correction/effects/IControl.h"

#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects::controls {

// An on/off switch; the kernel receives 1 or 0 as an int.
class Checkbox final : public IControl {
public:
  Checkbox(std::string id, std::string label, bool initial, bool defaultValue);

  std::string GetId() const override;
  std::string GetLabel() const override;
  ControlValue GetValue() const override;
  bool SetValue(const ControlValue& value) override;
  std::vector<std::string> GetKernelTypes() const override;
  bool SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                         std::uint32_t index) const override;
  void CarryValueFrom(const IControl& old) override;

  bool IsChecked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  bool GetDefaultChecked() const { return defaultChecked_; }

private:
  std::string id_;
  std::string label_;
  bool checked_;
  bool defaultChecked_;
};

} // namespace brantok::lumaro::correction::effects::controls

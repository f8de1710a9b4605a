#pragma once

#include "correction/effects/IControl.h"

#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects::controls {

// A direction in degrees, any number of turns; the kernel receives degrees
// as a float.
class Angle final : public IControl {
public:
  Angle(std::string id, std::string label, float initial, float defaultDegrees);

  std::string GetId() const override;
  std::string GetLabel() const override;
  ControlValue GetValue() const override;
  bool SetValue(const ControlValue& value) override;
  std::vector<std::string> GetKernelTypes() const override;
  bool SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                         std::uint32_t index) const override;
  void CarryValueFrom(const IControl& old) override;

  float GetDegrees() const { return degrees_; }
  void SetDegrees(float degrees) { degrees_ = degrees; }
  float GetDefaultDegrees() const { return defaultDegrees_; }

private:
  std::string id_;
  std::string label_;
  float degrees_;
  float defaultDegrees_;
};

} // namespace brantok::lumaro::correction::effects::controls

#pragma once

#include "correction/effects/IControl.h"

#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects::controls {

// A direction in degrees, any number of turns within what hosts can store
// (16.16 fixed point); the kernel receives degrees as a float.
class Angle final : public IControl {
public:
  // Hosts keep angles as 16.16 fixed point: whole degrees up to 32767 either
  // way. A package asking for more is refused rather than given another angle.
  static constexpr float MaxDegrees = 32767.0f;

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

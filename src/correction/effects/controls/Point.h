#pragma once

#include "correction/effects/IControl.h"

#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects::controls {

// A place in the frame as fractions of its size (see Position); the kernel
// receives them as a float2, so a point means the same place at any preview
// resolution.
class Point final : public IControl {
public:
  Point(std::string id, std::string label, const Position& initial, const Position& defaultPosition);

  std::string GetId() const override;
  std::string GetLabel() const override;
  ControlValue GetValue() const override;
  bool SetValue(const ControlValue& value) override;
  std::vector<std::string> GetKernelTypes() const override;
  bool SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                         std::uint32_t index) const override;
  void CarryValueFrom(const IControl& old) override;

  Position GetPosition() const { return position_; }
  void SetPosition(const Position& position) { position_ = position; }
  Position GetDefaultPosition() const { return defaultPosition_; }

private:
  std::string id_;
  std::string label_;
  Position position_;
  Position defaultPosition_;
};

} // namespace brantok::lumaro::correction::effects::controls

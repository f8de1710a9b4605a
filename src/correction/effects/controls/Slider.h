#pragma once

#include "correction/effects/IRangeControl.h"

#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects::controls {

class Slider final : public IRangeControl {
public:
  // Starts at `defaultValue`.
  Slider(std::string id, std::string label, float minimum, float maximum, float defaultValue);
  // Starts at `initial`, which need not lie within the range.
  Slider(std::string id, std::string label, float minimum, float maximum, float initial, float defaultValue);

  std::string GetId() const override;
  std::string GetLabel() const override;
  ControlValue GetValue() const override;
  bool SetValue(const ControlValue& value) override;
  std::vector<std::string> GetKernelTypes() const override;
  bool SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                         std::uint32_t index) const override;
  void CarryValueFrom(const IControl& old) override;

  float GetMinimum() const override;
  float GetMaximum() const override;
  float GetNumber() const override;
  void SetNumber(float value) override;
  float GetDefaultNumber() const override;

private:
  std::string id_;
  std::string label_;
  float value_;
  float minimum_;
  float maximum_;
  float defaultValue_;
};

} // namespace brantok::lumaro::correction::effects::controls

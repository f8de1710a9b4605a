#pragma once

#include "correction/effects/IColorPicker.h"

#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects::controls {

class ColorPicker final : public IColorPicker {
public:
  // `color` is both the starting and the default colour.
  ColorPicker(std::string id, std::string label, const Color& color);

  std::string GetId() const override;
  std::string GetLabel() const override;
  ControlValue GetValue() const override;
  bool SetValue(const ControlValue& value) override;
  std::vector<std::string> GetKernelTypes() const override;
  bool SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                         std::uint32_t index) const override;
  void CarryValueFrom(const IControl& old) override;

  Color GetColor() const override;
  void SetColor(const Color& color) override;
  Color GetDefaultColor() const override;

private:
  std::string id_;
  std::string label_;
  Color color_;
  Color defaultColor_;
};

} // namespace brantok::lumaro::correction::effects::controls

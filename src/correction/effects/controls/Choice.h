#pragma once

#include "correction/effects/IOptionControl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects::controls {

class Choice final : public IOptionControl<int> {
public:
  // Starts at `defaultSelection`.
  Choice(std::string id, std::string label, std::vector<std::string> options, std::int32_t defaultSelection);
  // Starts at `initial`, which need not be a valid index.
  Choice(std::string id, std::string label, std::vector<std::string> options, std::int32_t initial,
         std::int32_t defaultSelection);

  std::string GetId() const override;
  std::string GetLabel() const override;
  ControlValue GetValue() const override;
  bool SetValue(const ControlValue& value) override;
  std::vector<std::string> GetKernelTypes() const override;
  bool SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                         std::uint32_t index) const override;
  void CarryValueFrom(const IControl& old) override;

  int GetSelection() const override;
  void SetSelection(const int& selection) override;
  int GetDefaultSelection() const override;
  const std::vector<std::string>& GetOptions() const override;

private:
  std::string id_;
  std::string label_;
  std::int32_t selection_;
  std::int32_t defaultSelection_;
  std::vector<std::string> options_;
};

} // namespace brantok::lumaro::correction::effects::controls

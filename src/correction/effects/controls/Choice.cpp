#include "correction/effects/controls/Choice.h"

#include "gpu/IProgram.h"

#include <utility>

namespace brantok::lumaro::correction::effects::controls {

Choice::Choice(std::string id, std::string label, std::vector<std::string> options, std::int32_t defaultSelection) :
    Choice(std::move(id), std::move(label), std::move(options), defaultSelection, defaultSelection) {}

Choice::Choice(std::string id, std::string label, std::vector<std::string> options, std::int32_t initial,
               std::int32_t defaultSelection) :
    id_(std::move(id)),
    label_(std::move(label)), selection_(initial), defaultSelection_(defaultSelection), options_(std::move(options)) {}

std::string Choice::GetId() const { return id_; }
std::string Choice::GetLabel() const { return label_; }
ControlValue Choice::GetValue() const { return selection_; }

bool Choice::SetValue(const ControlValue& value) {
  const auto* selection = std::get_if<std::int32_t>(&value);
  if (!selection) return false;
  selection_ = *selection;
  return true;
}

int Choice::GetSelection() const { return selection_; }
void Choice::SetSelection(const int& selection) { selection_ = selection; }
int Choice::GetDefaultSelection() const { return defaultSelection_; }
const std::vector<std::string>& Choice::GetOptions() const { return options_; }

std::vector<std::string> Choice::GetKernelTypes() const { return {"uint", "int", "unsigned int"}; }

bool Choice::SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                               std::uint32_t index) const {
  return program.SetArgument(queue, kernel, index, static_cast<std::uint32_t>(selection_));
}

void Choice::CarryValueFrom(const IControl& old) {
  const auto* choice = dynamic_cast<const Choice*>(&old);
  if (!choice || choice->selection_ < 0) return;
  // An index keeps its meaning only while it names the same option text.
  const auto index = static_cast<std::size_t>(choice->selection_);
  if (index < choice->options_.size() && index < options_.size() && choice->options_[index] == options_[index]) {
    selection_ = choice->selection_;
  }
}

} // namespace brantok::lumaro::correction::effects::controls

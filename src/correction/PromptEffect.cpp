#include "correction/PromptEffect.h"

#include "core/Logger.h"
#include "core/PathText.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/IEffectCache.h"
#include "correction/effects/IColorPicker.h"
#include "correction/effects/IOptionControl.h"
#include "correction/effects/IRangeControl.h"
#include "correction/effects/controls/Choice.h"
#include "correction/effects/library/Entry.h"
#include "gpu/IProgram.h"

#include <stdexcept>

namespace brantok::lumaro::correction {
namespace {

using core::eLogChannel;
using core::Logger;
using effects::IColorPicker;
using effects::IControl;
using effects::IOptionControl;
using effects::IRangeControl;
using effects::controls::Choice;

// Input, output, time, frame and duration come before the controls.
constexpr std::uint32_t kFixedArguments = 5;

void CarryValueOver(const IControl& old, IControl& fresh) {
  if (const auto* oldRange = dynamic_cast<const IRangeControl*>(&old)) {
    if (auto* range = dynamic_cast<IRangeControl*>(&fresh)) range->SetNumber(oldRange->GetNumber());
    return;
  }
  if (const auto* oldColor = dynamic_cast<const IColorPicker*>(&old)) {
    if (auto* color = dynamic_cast<IColorPicker*>(&fresh)) color->SetColor(oldColor->GetColor());
    return;
  }
  const auto* oldChoice = dynamic_cast<const Choice*>(&old);
  auto* choice = dynamic_cast<Choice*>(&fresh);
  if (!oldChoice || !choice) return;
  // An index keeps its meaning only while it names the same option text.
  const int selection = oldChoice->GetSelection();
  if (selection < 0) return;
  const auto index = static_cast<std::size_t>(selection);
  const auto& oldOptions = oldChoice->GetOptions();
  const auto& options = choice->GetOptions();
  if (index < oldOptions.size() && index < options.size() && oldOptions[index] == options[index]) {
    choice->SetSelection(selection);
  }
}

} // namespace

PromptEffect::PromptEffect(effects::library::Entry& entry, IEffectCache& cache) :
    name_(entry.GetName()), source_(entry.GetSource()), prompt_(entry.GetPrompt()) {
  Logger::Log("Importing '" + name_ + "' prompt effect from " + core::PathToNarrow(entry.GetPath()) + "...",
              eLogChannel::Info);
  buildFailed_ = !BuildFromSource(cache);
}

std::string PromptEffect::GetName() const { return name_; }
std::optional<std::string> PromptEffect::GetDescription() const { return std::nullopt; }
std::optional<std::string> PromptEffect::GetCategory() const { return std::nullopt; }
bool PromptEffect::IsBuiltIn() const { return false; }
const std::vector<std::shared_ptr<IControl>>& PromptEffect::GetControls() const { return controls_; }

std::shared_ptr<IControl> PromptEffect::FindControl(const std::string& id) const {
  for (const auto& control : controls_) {
    if (control->GetId() == id) return control;
  }
  return nullptr;
}

std::optional<Uuid> PromptEffect::GetProgramId() const { return programId_; }
std::shared_ptr<EffectSource> PromptEffect::GetSource() const { return source_; }
bool PromptEffect::IsReady() const { return programId_.has_value() && source_ != nullptr; }
bool PromptEffect::HasBuildFailed() const { return buildFailed_; }

bool PromptEffect::BuildFromSource(IEffectCache& cache) {
  if (!source_) {
    Logger::Log("PromptEffect::BuildFromSource failed due to missing source", eLogChannel::Error);
    return false;
  }
  const EffectSourceMetadata metadata(source_->metadata);
  if (const auto title = metadata.GetTitle(); title && !title->empty()) name_ = *title;

  const auto result = cache.GetOrBuildProgram(*source_);
  if (result.error != ProgramBuildResult::Success) {
    Logger::Log("PromptEffect::BuildFromSource failed due to program build error: " +
                    result.message.value_or("Unknown error"),
                eLogChannel::Error);
  }
  if (!result.id) {
    // The controls of an effect that has never built still come from its
    // metadata, so the host can show them (disabled) beside the failure.
    if (!programId_) SetControls(metadata.GetControls());
    return false;
  }

  const auto program = cache.GetProgram(*result.id);
  const auto kernels = program ? program->GetKernelNames() : std::vector<std::string>{};
  // A program without kernels cannot run; treat it like a failed build.
  if (kernels.empty() ||
      program->GetArgumentCount(kernels.front()) != metadata.GetControls().size() + kFixedArguments) {
    Logger::Log("PromptEffect::BuildFromSource failed due to unexpected program argument count", eLogChannel::Error);
    return false;
  }
  programId_ = result.id;
  SetControls(metadata.GetControls());
  return true;
}

void PromptEffect::SetControls(const std::vector<std::shared_ptr<IControl>>& controls) {
  for (const auto& control : controls) {
    if (const auto old = FindControl(control->GetId())) CarryValueOver(*old, *control);
  }
  controls_ = controls;
}

bool PromptEffect::Apply(IEffectCache& cache, gpu::IBuffer& input, gpu::IBuffer& output, gpu::IQueue& queue,
                         const gpu::Int2& size, const std::optional<RenderTime>& time) {
  if (!programId_ && source_) {
    Logger::Log("No program for prompt effect '" + name_ + "', building from source...", eLogChannel::Info);
    buildFailed_ = !BuildFromSource(cache);
  }
  if (!programId_) return false;
  const auto program = cache.GetProgram(*programId_);
  if (!program) return false;
  const auto kernels = program->GetKernelNames();
  if (kernels.empty()) return false;
  const std::string& kernel = kernels.front();

  program->SetArgument(queue, kernel, 0, input);
  program->SetArgument(queue, kernel, 1, output);
  const RenderTime frameTime = time.value_or(RenderTime{});
  program->SetArgument(queue, kernel, 2, static_cast<float>(frameTime.seconds));
  program->SetArgument(queue, kernel, 3, frameTime.frame);
  program->SetArgument(queue, kernel, 4, static_cast<float>(frameTime.duration));

  std::uint32_t index = kFixedArguments;
  for (const auto& control : controls_) {
    if (const auto* range = dynamic_cast<const IRangeControl*>(control.get())) {
      program->SetArgument(queue, kernel, index, range->GetNumber());
    } else if (const auto* color = dynamic_cast<const IColorPicker*>(control.get())) {
      const auto c = color->GetColor();
      program->SetArgument(queue, kernel, index, gpu::Float4{c.red, c.green, c.blue, c.alpha});
    } else if (const auto* option = dynamic_cast<const IOptionControl<int>*>(control.get())) {
      program->SetArgument(queue, kernel, index, static_cast<std::uint32_t>(option->GetSelection()));
    } else {
      throw std::logic_error("Not Implemented");
    }
    ++index;
  }
  program->Run(queue, kernel, size, std::nullopt);
  return true;
}

} // namespace brantok::lumaro::correction

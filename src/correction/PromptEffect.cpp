#include "correction/PromptEffect.h"

#include "core/Logger.h"
#include "core/PathText.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/IEffectCache.h"
#include "correction/KernelSignature.h"
#include "correction/effects/library/Entry.h"
#include "gpu/IProgram.h"

#include <algorithm>
#include <mutex>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace brantok::lumaro::correction {
namespace {

using core::eLogChannel;
using core::Logger;
using effects::IControl;

// Input, output, time, frame and duration come before the controls.
constexpr std::uint32_t kFixedArguments = 5;

// The line of a build log a user can act on: the compiler's first error, with
// the driver's temporary file name replaced by the package's kernel.cl.
std::string FirstErrorLine(const std::string& log) {
  // Compilers put "error: " before or after the location.
  static const std::regex located(R"(^(?:error: )?.*?:(\d+):(\d+): (?:error: )?(.*)$)");
  std::istringstream lines(log);
  std::string line;
  std::string first;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::smatch match;
    if (line.find("error") != std::string::npos && std::regex_match(line, match, located)) {
      return "kernel.cl:" + match[1].str() + ":" + match[2].str() + ": error: " + match[3].str();
    }
    if (first.empty() && line.find("error") != std::string::npos) first = line;
  }
  if (!first.empty()) return first;
  const auto end = log.find('\n');
  return log.substr(0, end);
}

void LogBuildFailure(const std::string& reason) {
  Logger::Log("PromptEffect::BuildFromSource failed: " + reason, eLogChannel::Error);
}

} // namespace

PromptEffect::PromptEffect(effects::library::Entry& entry, IEffectCache& cache) :
    name_(entry.GetName()), source_(entry.GetSource()), prompt_(entry.GetPrompt()) {
  Logger::Log("Importing '" + name_ + "' prompt effect from " + core::PathToNarrow(entry.GetPath()) + "...",
              eLogChannel::Info);
  buildFailed_ = !BuildFromSource(cache);
  if (!source_ && !entry.GetReadError().empty()) buildError_ += " (" + entry.GetReadError() + ")";
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
std::string PromptEffect::GetBuildError() const { return buildError_; }

bool PromptEffect::BuildFromSource(IEffectCache& cache) {
  if (!source_) {
    Logger::Log("PromptEffect::BuildFromSource failed due to missing source", eLogChannel::Error);
    buildError_ = "The package has no readable kernel.cl or metadata.json";
    return false;
  }
  const EffectSourceMetadata metadata(source_->metadata);
  if (const auto title = metadata.GetTitle(); title && !title->empty()) name_ = *title;
  // The controls of an effect that has never built still come from its
  // metadata, so the host can show them (disabled) beside the failure.
  const auto fail = [&](std::string reason) {
    if (!programId_) SetControls(metadata.GetControls());
    buildError_ = std::move(reason);
    return false;
  };

  const auto result = cache.GetOrBuildProgram(*source_);
  if (result.error != ProgramBuildResult::Success) {
    Logger::Log("PromptEffect::BuildFromSource failed due to program build error: " +
                    result.message.value_or("Unknown error"),
                eLogChannel::Error);
  }
  if (!result.id) return fail(FirstErrorLine(result.message.value_or("Unknown error")));

  // The cache only builds sources whose metadata names a kernel.
  const auto kernel = metadata.GetEntryPoint().value_or("");
  const auto program = cache.GetProgram(*result.id);
  const auto kernels = program ? program->GetKernelNames() : std::vector<std::string>{};
  if (std::find(kernels.begin(), kernels.end(), kernel) == kernels.end()) {
    const auto reason = "The kernel source has no kernel named '" + kernel + "'";
    LogBuildFailure(reason);
    return fail(reason);
  }
  const auto& controls = metadata.GetControls();
  const auto expected = controls.size() + kFixedArguments;
  if (program->GetArgumentCount(kernel) != expected) {
    Logger::Log("PromptEffect::BuildFromSource failed due to unexpected program argument count", eLogChannel::Error);
    return fail("The kernel '" + kernel + "' declares " + std::to_string(program->GetArgumentCount(kernel)) +
                " arguments but needs " + std::to_string(expected) + " (5 fixed ones and one per control)");
  }
  if (const auto arguments = program->GetArgumentInfo(kernel)) {
    if (auto mismatch = KernelSignature::Check(*arguments, controls)) {
      LogBuildFailure(*mismatch);
      return fail(std::move(*mismatch));
    }
  } else {
    static std::once_flag once;
    std::call_once(once, [] {
      Logger::Log("The OpenCL driver reports no kernel argument information; only the argument count of effect "
                  "kernels is checked",
                  eLogChannel::Info);
    });
  }
  programId_ = result.id;
  kernel_ = kernel;
  buildError_.clear();
  SetControls(controls);
  return true;
}

void PromptEffect::SetControls(const std::vector<std::shared_ptr<IControl>>& controls) {
  for (const auto& control : controls) {
    if (const auto old = FindControl(control->GetId())) control->CarryValueFrom(*old);
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

  // Any refused argument leaves the kernel with a stale or missing value, so
  // the frame is not run at all.
  const RenderTime frameTime = time.value_or(RenderTime{});
  bool ok = program->SetArgument(queue, kernel_, 0, input) && program->SetArgument(queue, kernel_, 1, output) &&
            program->SetArgument(queue, kernel_, 2, static_cast<float>(frameTime.seconds)) &&
            program->SetArgument(queue, kernel_, 3, frameTime.frame) &&
            program->SetArgument(queue, kernel_, 4, static_cast<float>(frameTime.duration));

  std::uint32_t index = kFixedArguments;
  for (const auto& control : controls_) {
    if (!ok) return false;
    ok = control->SetKernelArgument(*program, queue, kernel_, index++);
  }
  return ok && program->Run(queue, kernel_, size, std::nullopt);
}

} // namespace brantok::lumaro::correction

#include "correction/EffectCache.h"

#include "correction/EffectSourceMetadata.h"
#include "gpu/IContext.h"
#include "gpu/IProgram.h"
#include "gpu/ProgramBuildFailedException.h"

#include <utility>

namespace brantok::lumaro::correction {

EffectCache::EffectCache(std::shared_ptr<gpu::IContext> context) : context_(std::move(context)) {}

EffectCache::~EffectCache() = default;

ProgramBuildResult EffectCache::GetOrBuildProgram(const EffectSource& source) {
  std::lock_guard lock(mutex_);
  if (const auto found = sourceIds_.find(source); found != sourceIds_.end()) {
    return {found->second, ProgramBuildResult::Success, std::nullopt};
  }

  const EffectSourceMetadata metadata(source.metadata);
  const auto entryPoint = metadata.GetEntryPoint();
  if (!entryPoint || entryPoint->empty()) {
    return {std::nullopt, ProgramBuildResult::NoEntryPoint, "No entry point defined in metadata"};
  }

  std::unique_ptr<gpu::IProgram> program;
  try {
    program = context_->CreateProgram(source.kernelSource, {*entryPoint}, {}, metadata.GetTitle().value_or(""),
                                      {gpu::eBuildOption::FastRelaxedMath, gpu::eBuildOption::KernelArgumentInfo});
  } catch (const gpu::ProgramBuildFailedException& failure) {
    return {std::nullopt, ProgramBuildResult::BuildFailed, std::string(failure.what())};
  }

  const Uuid id = Uuid::Generate();
  sourceIds_[source] = id;
  programs_[id] = std::move(program);
  return {id, ProgramBuildResult::Success, std::nullopt};
}

void EffectCache::StoreProgram(const EffectSource& source, const Uuid& id, std::shared_ptr<gpu::IProgram> program) {
  std::lock_guard lock(mutex_);
  sourceIds_[source] = id;
  programs_[id] = std::move(program);
}

bool EffectCache::RemoveProgram(const EffectSource& source) {
  std::lock_guard lock(mutex_);
  const auto found = sourceIds_.find(source);
  if (found == sourceIds_.end()) return false;
  programs_.erase(found->second);
  sourceIds_.erase(found);
  return true;
}

std::shared_ptr<gpu::IProgram> EffectCache::GetProgram(const Uuid& id) const {
  std::lock_guard lock(mutex_);
  const auto found = programs_.find(id);
  return found == programs_.end() ? nullptr : found->second;
}

} // namespace brantok::lumaro::correction

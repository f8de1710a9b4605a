#pragma once

#include "correction/IEffectCache.h"

#include <mutex>
#include <unordered_map>

namespace brantok::lumaro::gpu {
class IContext;
}

namespace brantok::lumaro::correction {

// One per plug-in instance: every distinct effect source is compiled once and
// kept until the cache goes away (no eviction). Effect loading and rendering
// reach it under two different locks of the host layer, so it serialises its
// own operations.
class EffectCache final : public IEffectCache {
public:
  explicit EffectCache(std::shared_ptr<gpu::IContext> context);
  ~EffectCache() override;

  ProgramBuildResult GetOrBuildProgram(const EffectSource& source) override;
  void StoreProgram(const EffectSource& source, const Uuid& id, std::shared_ptr<gpu::IProgram> program) override;
  bool RemoveProgram(const EffectSource& source) override;
  std::shared_ptr<gpu::IProgram> GetProgram(const Uuid& id) const override;

private:
  mutable std::mutex mutex_;
  std::unordered_map<EffectSource, Uuid, EffectSourceHash> sourceIds_;
  std::unordered_map<Uuid, std::shared_ptr<gpu::IProgram>, UuidHash> programs_;
  std::shared_ptr<gpu::IContext> context_;
};

} // namespace brantok::lumaro::correction

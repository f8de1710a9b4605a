#pragma once

#include "correction/EffectSource.h"
#include "correction/IEffect.h"
#include "correction/Uuid.h"
#include "gpu/VectorTypes.h"

#include <cstdint>
#include <string>

namespace brantok::lumaro::gpu {
class IBuffer;
class IQueue;
} // namespace brantok::lumaro::gpu

namespace brantok::lumaro::correction {

class IEffectCache;

// The time of the frame being rendered.
struct RenderTime {
  double seconds = 0.0;
  std::int32_t frame = 0;
  double duration = 0.0;
};

// An effect that runs its own GPU program over each frame.
class ICustomEffect : public IEffect {
public:
  virtual std::optional<Uuid> GetProgramId() const = 0;
  virtual std::shared_ptr<EffectSource> GetSource() const = 0;
  // Built and able to run.
  virtual bool IsReady() const = 0;
  virtual bool HasBuildFailed() const = 0;
  // Why the last build failed, in one line for the user (the compiler's first
  // error, the missing kernel, the argument that does not fit); empty while
  // the effect is built.
  virtual std::string GetBuildError() const = 0;

  // Runs the effect's kernel from `input` into `output` over `size`. False when
  // no program is available or any argument or the launch failed: `output`
  // then holds nothing this frame wrote.
  virtual bool Apply(IEffectCache& cache, gpu::IBuffer& input, gpu::IBuffer& output, gpu::IQueue& queue,
                     const gpu::Int2& size, const std::optional<RenderTime>& time) = 0;
};

} // namespace brantok::lumaro::correction

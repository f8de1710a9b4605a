#pragma once

#include "ae/ImageView.h"
#include "correction/ICustomEffect.h"
#include "gpu/GpuFormat.h"

#include <memory>
#include <optional>
#include <unordered_set>

namespace brantok::lumaro::gpu {
class IImage2D;
class IProgram;
class IQueue;
} // namespace brantok::lumaro::gpu

namespace brantok::lumaro::ae {

class ImagePool;
class LumaroEffect;

// The GPU side of a frame: moves the host's frame into a pooled GPU image,
// runs the effect and moves the result out, through the swizzle kernel for
// blue-green-red frames the device cannot store as they are. The command
// queue, the image pool, the swizzle program and the device's formats are made
// on first need and reused. No lock of its own: the instance calls it under
// its render lock.
class FrameRenderer final {
public:
  // `instance` gives the shared GPU context and effect cache.
  explicit FrameRenderer(LumaroEffect& instance);
  ~FrameRenderer();
  FrameRenderer(const FrameRenderer&) = delete;
  FrameRenderer& operator=(const FrameRenderer&) = delete;

  // True when the effect's kernel wrote this frame and it reached `output`;
  // false, logged, when any step failed. Throws std::runtime_error for a
  // format the device can neither store nor convert.
  bool Render(correction::ICustomEffect& effect, const ImageView& input, const ImageView& output,
              gpu::eGpuFormat format, const correction::RenderTime& time);
  // False when the pass could not be set up or launched.
  bool SwizzleImage(gpu::IImage2D& input, gpu::IImage2D& output);

private:
  ImagePool& GetImagePool();

  LumaroEffect& instance_;
  std::unique_ptr<gpu::IQueue> queue_;
  std::optional<std::unordered_set<gpu::eGpuFormat>> deviceFormats_;
  std::unique_ptr<ImagePool> imagePool_;
  std::unique_ptr<gpu::IProgram> swizzleProgram_;
};

} // namespace brantok::lumaro::ae

#include "ae/FrameRenderer.h"

#include "ae/ImagePool.h"
#include "ae/LumaroEffect.h"
#include "ae/PixelFormats.h"
#include "ae/SwizzleKernel.h"
#include "core/Logger.h"
#include "correction/EffectCache.h"
#include "gpu/IContext.h"
#include "gpu/IImage2D.h"
#include "gpu/IProgram.h"
#include "gpu/IQueue.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace brantok::lumaro::ae {

using core::eLogChannel;
using core::Logger;
using correction::ICustomEffect;
using gpu::eGpuFormat;
using gpu::eMemoryDeviceAccess;
using gpu::eMemoryHostAccess;

namespace {

constexpr std::size_t ImagePoolCapacity = 32;

// A string made once: every argument and launch of the two swizzle passes of a
// frame names the kernel.
const std::string SwizzleKernel = SwizzleKernelName;

bool IsBgrFormat(eGpuFormat format) {
  return format == eGpuFormat::BGRA8 || format == eGpuFormat::BGRX8 || format == eGpuFormat::BGRA16 ||
         format == eGpuFormat::BGRX16 || format == eGpuFormat::BGRA32F;
}

// The GPU images hold the picture top row first, whatever the row order of
// the host's worlds, so the kernel sees every frame the same way up. A
// bottom-up world goes through a staging copy with its rows reversed.
std::vector<std::uint8_t> Reversed(const std::uint8_t* rows, std::size_t pitch, std::size_t rowSize,
                                   std::int32_t height) {
  std::vector<std::uint8_t> staging(rowSize * static_cast<std::size_t>(height));
  for (std::int32_t row = 0; row < height; ++row) {
    std::memcpy(staging.data() + static_cast<std::size_t>(height - 1 - row) * rowSize,
                rows + static_cast<std::size_t>(row) * pitch, rowSize);
  }
  return staging;
}

bool WriteInput(gpu::IQueue& queue, gpu::IImage2D& image, const ImageView& input) {
  const gpu::Int2 size{input.width, input.height};
  if (!input.bottomUp) return queue.WriteImage(image, {0, 0}, size, input.data, 0, input.pitch);
  const auto rowSize = static_cast<std::size_t>(input.width) * gpu::GetBytesPerPixel(image.GetFormat());
  const auto staging = Reversed(input.data, input.pitch, rowSize, input.height);
  return queue.WriteImage(image, {0, 0}, size, staging.data(), 0, rowSize);
}

bool ReadOutput(gpu::IQueue& queue, gpu::IImage2D& image, const ImageView& output) {
  if (!output.bottomUp) return queue.ReadImage(image, output.data, output.pitch);
  const auto rowSize = static_cast<std::size_t>(output.width) * gpu::GetBytesPerPixel(image.GetFormat());
  std::vector<std::uint8_t> staging(rowSize * static_cast<std::size_t>(output.height));
  if (!queue.ReadImage(image, staging.data(), rowSize)) return false;
  for (std::int32_t row = 0; row < output.height; ++row) {
    std::memcpy(output.data + static_cast<std::size_t>(output.height - 1 - row) * output.pitch,
                staging.data() + static_cast<std::size_t>(row) * rowSize, rowSize);
  }
  return true;
}

} // namespace

FrameRenderer::FrameRenderer(LumaroEffect& instance) : instance_(instance) {}

// Out of line, where ImagePool is complete.
FrameRenderer::~FrameRenderer() = default;

ImagePool& FrameRenderer::GetImagePool() {
  if (!imagePool_) imagePool_ = std::make_unique<ImagePool>(instance_.GetContext(), ImagePoolCapacity);
  return *imagePool_;
}

bool FrameRenderer::Render(ICustomEffect& effect, const ImageView& input, const ImageView& output, eGpuFormat format,
                           const correction::RenderTime& time) {
  if (!queue_) {
    queue_ = instance_.GetContext()->CreateQueue(std::nullopt);
    // A refused queue is not kept: the next frame asks again.
    if (!queue_ || !queue_->IsValid()) {
      queue_.reset();
      Logger::Log("Frame not rendered: no GPU command queue", eLogChannel::Error);
      return false;
    }
  }
  if (!deviceFormats_)
    deviceFormats_ = instance_.GetContext()->GetSupportedImageFormats(eMemoryDeviceAccess::ReadWrite);
  auto& pool = GetImagePool();
  const auto cache = instance_.GetEffectCache();
  const gpu::Int2 inputSize{input.width, input.height};
  const gpu::Int2 outputSize{output.width, output.height};

  // Each step must succeed before the next: an image is read back only when
  // this frame's kernel wrote it, never with what a pooled image held before.
  const auto rendered = [&](bool ok, const char* step) {
    if (!ok) Logger::Log(std::string("Frame not rendered: ") + step + " failed", eLogChannel::Error);
    return ok;
  };

  if (deviceFormats_->count(format)) {
    const auto source = pool.Get(inputSize, format, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
    const auto target = pool.Get(outputSize, format, eMemoryDeviceAccess::Write, eMemoryHostAccess::Read);
    return rendered(source->IsValid() && target->IsValid(), "image creation") &&
           rendered(WriteInput(*queue_, *source, input), "input transfer") &&
           rendered(effect.Apply(*cache, *source, *target, *queue_, outputSize, time), "the effect") &&
           rendered(ReadOutput(*queue_, *target, output), "output transfer");
  }

  const bool sameSize = inputSize.x == outputSize.x && inputSize.y == outputSize.y;
  if (IsBgrFormat(format) && sameSize && deviceFormats_->count(ToRgbFormat(format))) {
    const auto rgb = ToRgbFormat(format);
    const auto swapped = pool.Get(inputSize, rgb, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::Write);
    const auto ordered = pool.Get(inputSize, rgb, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::Read);
    // The frame's bytes go in unchanged, so red and blue arrive exchanged;
    // one swizzle pass puts them right for the kernel, another undoes it.
    return rendered(swapped->IsValid() && ordered->IsValid(), "image creation") &&
           rendered(WriteInput(*queue_, *swapped, input), "input transfer") &&
           rendered(SwizzleImage(*swapped, *ordered), "channel swap") &&
           rendered(effect.Apply(*cache, *ordered, *swapped, *queue_, outputSize, time), "the effect") &&
           rendered(SwizzleImage(*swapped, *ordered), "channel swap") &&
           rendered(ReadOutput(*queue_, *ordered, output), "output transfer");
  }

  throw std::runtime_error("Unsupported GPU pixel format for LumaroEffect: " +
                           std::to_string(static_cast<std::int32_t>(format)));
}

bool FrameRenderer::SwizzleImage(gpu::IImage2D& input, gpu::IImage2D& output) {
  // The pass runs on the frames' queue; before the first frame there is none.
  if (!queue_) return false;
  if (!swizzleProgram_) {
    swizzleProgram_ = instance_.GetContext()->CreateProgram(SwizzleKernelSource, {SwizzleKernel}, {}, std::nullopt,
                                                            {gpu::eBuildOption::FastRelaxedMath});
  }
  return swizzleProgram_->SetArgument(*queue_, SwizzleKernel, 0, input) &&
         swizzleProgram_->SetArgument(*queue_, SwizzleKernel, 1, output) &&
         swizzleProgram_->Run(*queue_, SwizzleKernel, output.GetDimensions(), std::nullopt);
}

} // namespace brantok::lumaro::ae

#include "ae/ImagePool.h"

#include "gpu/IContext.h"
#include "gpu/IImage2D.h"

#include <algorithm>

namespace brantok::lumaro::ae {

ImagePool::ImagePool(std::shared_ptr<gpu::IContext> context, std::size_t capacity) :
    context_(std::move(context)), capacity_(capacity) {}

std::shared_ptr<gpu::IImage2D> ImagePool::Get(const gpu::Int2& size, gpu::eGpuFormat format,
                                              gpu::eMemoryDeviceAccess deviceAccess,
                                              gpu::eMemoryHostAccess hostAccess) {
  const auto found = std::find_if(images_.begin(), images_.end(), [&](const auto& image) {
    const auto dimensions = image->GetDimensions();
    return dimensions.x == size.x && dimensions.y == size.y && image->GetFormat() == format &&
           image->GetDeviceAccess() == deviceAccess && image->GetHostAccess() == hostAccess;
  });
  if (found != images_.end()) {
    images_.splice(images_.end(), images_, found);
    return images_.back();
  }
  if (capacity_ > 0 && images_.size() >= capacity_) images_.pop_front();
  std::shared_ptr<gpu::IImage2D> image =
      context_->CreateImage2D(size, format, deviceAccess, hostAccess, gpu::eMemoryLocation::Device, std::nullopt);
  images_.push_back(image);
  return image;
}

} // namespace brantok::lumaro::ae

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
  const auto found = std::find_if(images_.begin(), images_.end(), [&](const Slot& slot) {
    return slot.size.x == size.x && slot.size.y == size.y && slot.format == format &&
           slot.deviceAccess == deviceAccess && slot.hostAccess == hostAccess;
  });
  if (found != images_.end()) {
    images_.splice(images_.end(), images_, found);
    return images_.back().image;
  }
  std::shared_ptr<gpu::IImage2D> image =
      context_->CreateImage2D(size, format, deviceAccess, hostAccess, gpu::eMemoryLocation::Device, std::nullopt);
  // An image the device refused is handed back for the caller to see, but
  // not kept: the next frame asks the device again.
  if (!image->IsValid()) return image;
  if (capacity_ > 0 && images_.size() >= capacity_) images_.pop_front();
  images_.push_back({size, format, deviceAccess, hostAccess, image});
  return image;
}

} // namespace brantok::lumaro::ae

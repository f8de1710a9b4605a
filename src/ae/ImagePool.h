#pragma once

#include "gpu/GpuFormat.h"
#include "gpu/MemoryAccess.h"
#include "gpu/VectorTypes.h"

#include <cstddef>
#include <list>
#include <memory>

namespace brantok::lumaro::gpu {
class IContext;
class IImage2D;
} // namespace brantok::lumaro::gpu

namespace brantok::lumaro::ae {

// The renderer's GPU images, reused across frames: the least recently used
// image goes first once the pool is full. Images keep their old contents.
// Not synchronised: the render lock serialises its users.
class ImagePool {
public:
  ImagePool(std::shared_ptr<gpu::IContext> context, std::size_t capacity);

  std::shared_ptr<gpu::IImage2D> Get(const gpu::Int2& size, gpu::eGpuFormat format,
                                     gpu::eMemoryDeviceAccess deviceAccess, gpu::eMemoryHostAccess hostAccess);

  std::size_t GetSize() const { return images_.size(); }

private:
  // An image with the request it was made for. Its shape never changes, so
  // every frame's lookups compare these values instead of asking each pooled
  // image four times through its interface.
  struct Slot {
    gpu::Int2 size;
    gpu::eGpuFormat format;
    gpu::eMemoryDeviceAccess deviceAccess;
    gpu::eMemoryHostAccess hostAccess;
    std::shared_ptr<gpu::IImage2D> image;
  };

  std::shared_ptr<gpu::IContext> context_;
  std::size_t capacity_;
  std::list<Slot> images_; // most recently used last
};

} // namespace brantok::lumaro::ae

#pragma once

#include "gpu/GpuFormat.h"
#include "gpu/IBuffer.h"

namespace brantok::lumaro::gpu {

// A memory object with a pixel format; its size in bytes is the pixel count
// times GetBytesPerPixel(GetFormat()).
class IImage : public IBuffer {
public:
  virtual eGpuFormat GetFormat() const = 0;
};

} // namespace brantok::lumaro::gpu

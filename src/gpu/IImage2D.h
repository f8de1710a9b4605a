#pragma once

#include "gpu/IImage.h"
#include "gpu/VectorTypes.h"

namespace brantok::lumaro::gpu {

// The frame store of the renderer.
class IImage2D : public IImage {
public:
  virtual Int2 GetDimensions() const = 0;
  // A handle for sharing the image with a host graphics API; null for back
  // ends without such sharing.
  virtual void* GetSharedHandle() const = 0;
};

} // namespace brantok::lumaro::gpu

#pragma once

#include "gpu/IImage.h"
#include "gpu/VectorTypes.h"

namespace brantok::lumaro::gpu {

class IImage3D : public IImage {
public:
  virtual Int3 GetDimensions() const = 0;
};

} // namespace brantok::lumaro::gpu

#pragma once

#include "gpu/IImage.h"

#include <cstdint>

namespace brantok::lumaro::gpu {

class IImage1D : public IImage {
public:
  virtual std::int32_t GetDimensions() const = 0;
};

} // namespace brantok::lumaro::gpu

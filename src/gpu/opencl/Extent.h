#pragma once

#include <cstddef>
#include <cstdint>

namespace brantok::lumaro::gpu::opencl {

// Pixel counts and coordinates are 32-bit signed in the interfaces; OpenCL
// wants size_t. The sign is kept, so a negative value reaches the driver as
// a huge one and is refused there rather than silently clamped.
inline std::size_t ToSize(std::int32_t value) { return static_cast<std::size_t>(static_cast<std::int64_t>(value)); }

// Bytes of an image: the pixel count kept to 32 bits, as the interfaces
// count pixels, times the bytes per pixel.
inline std::size_t ImageBytes(std::int64_t pixels, std::uint32_t bytesPerPixel) {
  return ToSize(static_cast<std::int32_t>(pixels)) * bytesPerPixel;
}

} // namespace brantok::lumaro::gpu::opencl

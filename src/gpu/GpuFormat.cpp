#include "gpu/GpuFormat.h"

#include <stdexcept>

namespace brantok::lumaro::gpu {

std::uint32_t GetBytesPerPixel(eGpuFormat format) {
  switch (format) {
  case eGpuFormat::R8:
    return 1;
  case eGpuFormat::R16:
    return 2;
  case eGpuFormat::RGB8:
    return 3;
  case eGpuFormat::ARGB8:
  case eGpuFormat::BGRA8:
  case eGpuFormat::BGRX8:
  case eGpuFormat::RGBA8:
  case eGpuFormat::RGBX8:
    return 4;
  case eGpuFormat::RGB16:
    return 6;
  case eGpuFormat::ARGB16:
  case eGpuFormat::BGRA16:
  case eGpuFormat::BGRX16:
  case eGpuFormat::RGBA16:
  case eGpuFormat::RGBX16:
    return 8;
  case eGpuFormat::BGRA32F:
  case eGpuFormat::RGBA32F:
  case eGpuFormat::ARGB32F:
    return 16;
  }
  throw std::runtime_error("Unhandled GPU format");
}

} // namespace brantok::lumaro::gpu

#include "ae/PixelFormats.h"

#include <stdexcept>

namespace brantok::lumaro::ae {

using gpu::eGpuFormat;

eGpuFormat ToGpuFormat(PrPixelFormat format) {
  switch (format) {
  case PrPixelFormat_ARGB_4444_8u:
  case PrPixelFormat_XRGB_4444_8u:
    return eGpuFormat::ARGB8;
  case PrPixelFormat_BGRA_4444_8u:
    return eGpuFormat::BGRA8;
  case PrPixelFormat_BGRX_4444_8u:
    return eGpuFormat::BGRX8;
  case PrPixelFormat_ARGB_4444_16u:
    return eGpuFormat::ARGB16;
  case PrPixelFormat_BGRA_4444_16u:
    return eGpuFormat::BGRA16;
  case PrPixelFormat_BGRX_4444_16u:
    return eGpuFormat::BGRX16;
  case PrPixelFormat_BGRA_4444_32f:
    return eGpuFormat::BGRA32F;
  default:
    throw std::runtime_error("Unsupported Premiere pixel format");
  }
}

PrPixelFormat ToPremiereFormat(eGpuFormat format) {
  switch (format) {
  case eGpuFormat::ARGB8:
    return PrPixelFormat_ARGB_4444_8u;
  case eGpuFormat::BGRA8:
    return PrPixelFormat_BGRA_4444_8u;
  case eGpuFormat::BGRA32F:
    return PrPixelFormat_BGRA_4444_32f;
  default:
    throw std::runtime_error("Unsupported GPU format");
  }
}

eGpuFormat ToRgbFormat(eGpuFormat format) {
  switch (format) {
  case eGpuFormat::BGRA8:
    return eGpuFormat::RGBA8;
  case eGpuFormat::BGRX8:
    return eGpuFormat::RGBX8;
  case eGpuFormat::BGRA16:
    return eGpuFormat::RGBA16;
  case eGpuFormat::BGRX16:
    return eGpuFormat::RGBX16;
  case eGpuFormat::BGRA32F:
    return eGpuFormat::RGBA32F;
  default:
    throw std::runtime_error("Unsupported BGR format for conversion to RGB");
  }
}

} // namespace brantok::lumaro::ae

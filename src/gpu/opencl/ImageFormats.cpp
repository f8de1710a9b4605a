#include "gpu/opencl/ImageFormats.h"

#include <stdexcept>

namespace brantok::lumaro::gpu::opencl {

cl::ImageFormat ToImageFormat(eGpuFormat format) {
  switch (format) {
  case eGpuFormat::ARGB8:
    return {CL_ARGB, CL_UNORM_INT8};
  case eGpuFormat::BGRA8:
  case eGpuFormat::BGRX8:
    return {CL_BGRA, CL_UNORM_INT8};
  case eGpuFormat::RGBA8:
    return {CL_RGBA, CL_UNORM_INT8};
  case eGpuFormat::RGBX8:
    return {CL_RGBx, CL_UNORM_INT8};
  case eGpuFormat::RGB8:
    return {CL_RGB, CL_UNORM_INT8};
  case eGpuFormat::R8:
    return {CL_R, CL_UNORM_INT8};
  case eGpuFormat::BGRA16:
    return {CL_BGRA, CL_UNORM_INT16};
  case eGpuFormat::RGBA16:
    return {CL_RGBA, CL_UNORM_INT16};
  case eGpuFormat::RGBX16:
    return {CL_RGBx, CL_UNORM_INT16};
  case eGpuFormat::RGB16:
    return {CL_RGB, CL_UNORM_INT16};
  case eGpuFormat::R16:
    return {CL_R, CL_UNORM_INT16};
  case eGpuFormat::BGRA32F:
    return {CL_BGRA, CL_FLOAT};
  case eGpuFormat::RGBA32F:
    return {CL_RGBA, CL_FLOAT};
  case eGpuFormat::ARGB16:
  case eGpuFormat::BGRX16:
  case eGpuFormat::ARGB32F:
    break;
  }
  throw std::runtime_error("Unknown GPU format");
}

std::optional<eGpuFormat> FromImageFormat(const cl_image_format& format) {
  switch (format.image_channel_data_type) {
  case CL_UNORM_INT8:
    switch (format.image_channel_order) {
    case CL_ARGB:
      return eGpuFormat::ARGB8;
    case CL_BGRA:
      return eGpuFormat::BGRA8;
    case CL_RGBA:
      return eGpuFormat::RGBA8;
    case CL_RGBx:
      return eGpuFormat::RGBX8;
    case CL_RGB:
      return eGpuFormat::RGB8;
    case CL_R:
      return eGpuFormat::R8;
    }
    break;
  case CL_UNORM_INT16:
    switch (format.image_channel_order) {
    case CL_BGRA:
      return eGpuFormat::BGRA16;
    case CL_RGBA:
      return eGpuFormat::RGBA16;
    case CL_RGBx:
      return eGpuFormat::RGBX16;
    case CL_RGB:
      return eGpuFormat::RGB16;
    case CL_R:
      return eGpuFormat::R16;
    }
    break;
  case CL_FLOAT:
    switch (format.image_channel_order) {
    case CL_BGRA:
      return eGpuFormat::BGRA32F;
    case CL_RGBA:
      return eGpuFormat::RGBA32F;
    case CL_ARGB:
      return eGpuFormat::ARGB32F;
    }
    break;
  }
  return std::nullopt;
}

} // namespace brantok::lumaro::gpu::opencl

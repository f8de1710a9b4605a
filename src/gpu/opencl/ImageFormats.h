#pragma once

#include "gpu/GpuFormat.h"

#include <CL/opencl.hpp>

#include <optional>

namespace brantok::lumaro::gpu::opencl {

// The OpenCL image format an image of `format` is created with. Padded
// formats share the order of their unpadded twin where OpenCL has no padded
// order. Throws std::runtime_error("Unknown GPU format") for the formats that
// OpenCL cannot store (ARGB16, BGRX16, ARGB32F) and for values out of range.
cl::ImageFormat ToImageFormat(eGpuFormat format);

// The reverse, for reporting what a device supports. Each OpenCL format maps
// to one value, so BGRA 8-bit reads as BGRA8, never BGRX8; ARGB float reads as
// ARGB32F although such images cannot be created.
std::optional<eGpuFormat> FromImageFormat(const cl_image_format& format);

} // namespace brantok::lumaro::gpu::opencl

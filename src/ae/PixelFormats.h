#pragma once

#include "ae/sdk/EffectApi.h"
#include "gpu/GpuFormat.h"

namespace brantok::lumaro::ae {

// Premiere Pro's pixel format of a frame as a GPU format; throws
// std::runtime_error("Unsupported Premiere pixel format") for the others.
gpu::eGpuFormat ToGpuFormat(PrPixelFormat format);

// The format a plug-in registers with Premiere Pro for a GPU format; throws
// std::runtime_error("Unsupported GPU format") for one it cannot register.
PrPixelFormat ToPremiereFormat(gpu::eGpuFormat format);

// The same bytes read in red-green-blue order; throws std::runtime_error for
// formats that are not blue-green-red.
gpu::eGpuFormat ToRgbFormat(gpu::eGpuFormat format);

} // namespace brantok::lumaro::ae

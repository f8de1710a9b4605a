#pragma once

// The kernel that swaps red and blue, for devices that store float frames
// only in RGBA order. The benchmark's hand-written pipeline runs this same
// text, so the two are compared on equal work.
namespace brantok::lumaro::ae {

inline constexpr const char* SwizzleKernelName = "SwizzleRgb";
inline constexpr const char* SwizzleKernelSource =
    "__kernel void SwizzleRgb(__read_only image2d_t inputImage, __write_only image2d_t outputImage)\n"
    "{\n"
    "    const sampler_t sampler = CLK_NORMALIZED_COORDS_FALSE | CLK_ADDRESS_CLAMP_TO_EDGE | CLK_FILTER_NEAREST;\n"
    "    int2 coord = (int2)(get_global_id(0), get_global_id(1));\n"
    "    float4 pixel = read_imagef(inputImage, sampler, coord);\n"
    "    write_imagef(outputImage, coord, pixel.zyxw);\n"
    "}\n";

} // namespace brantok::lumaro::ae

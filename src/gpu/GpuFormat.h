#pragma once

#include <cstdint>

namespace brantok::lumaro::gpu {

// Pixel layout of a host frame and of a GPU image. Not every layout can be
// stored on the device (see the back end's format table); hosts ask the
// context which ones it supports.
enum class eGpuFormat : std::int32_t {
  ARGB8 = 0,
  BGRA8 = 1,
  BGRX8 = 2,
  RGBA8 = 3,
  RGBX8 = 4,
  RGB8 = 5,
  R8 = 6,
  ARGB16 = 7,
  BGRA16 = 8,
  BGRX16 = 9,
  RGBA16 = 10,
  RGBX16 = 11,
  RGB16 = 12,
  R16 = 13,
  BGRA32F = 14,
  RGBA32F = 15,
  ARGB32F = 16,
};

// Throws std::runtime_error("Unhandled GPU format") for values outside the
// enumeration.
std::uint32_t GetBytesPerPixel(eGpuFormat format);

} // namespace brantok::lumaro::gpu

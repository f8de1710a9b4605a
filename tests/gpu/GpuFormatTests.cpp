#include "gpu/GpuFormat.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace brantok::lumaro::gpu {
namespace {

TEST(GpuFormatTest, BytesPerPixelFollowChannelCountAndDepth) {
  const std::pair<eGpuFormat, std::uint32_t> expected[] = {
      {eGpuFormat::ARGB8, 4u},   {eGpuFormat::BGRA8, 4u},  {eGpuFormat::BGRX8, 4u},    {eGpuFormat::RGBA8, 4u},
      {eGpuFormat::RGBX8, 4u},   {eGpuFormat::RGB8, 3u},   {eGpuFormat::R8, 1u},       {eGpuFormat::ARGB16, 8u},
      {eGpuFormat::BGRA16, 8u},  {eGpuFormat::BGRX16, 8u}, {eGpuFormat::RGBA16, 8u},   {eGpuFormat::RGBX16, 8u},
      {eGpuFormat::RGB16, 6u},   {eGpuFormat::R16, 2u},    {eGpuFormat::BGRA32F, 16u}, {eGpuFormat::RGBA32F, 16u},
      {eGpuFormat::ARGB32F, 16u}};
  for (const auto& [format, bytes] : expected)
    EXPECT_EQ(GetBytesPerPixel(format), bytes) << "format " << static_cast<int>(format);
}

TEST(GpuFormatTest, ValuesOutsideTheEnumerationThrow) {
  for (const int value : {17, -1, 1000}) {
    try {
      GetBytesPerPixel(static_cast<eGpuFormat>(value));
      ADD_FAILURE() << "no exception for " << value;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Unhandled GPU format");
    }
  }
}

} // namespace
} // namespace brantok::lumaro::gpu

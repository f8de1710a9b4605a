#include "gpu/GpuFormat.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace brantok::lumaro::gpu {
namespace {

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

// Windows only: special files where a package is expected.
#include "correction/effects/library/EntryContent.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::correction::effects::library {
namespace {

TEST(PackagePathTest, ADeviceIsRefused) {
  try {
    ReadEntry(EntryContent::Kernel, "NUL");
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Failed to open zip file: NUL");
  }
}

} // namespace
} // namespace brantok::lumaro::correction::effects::library

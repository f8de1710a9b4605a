#include "correction/EffectSourceMetadata.h"
#include "correction/effects/library/Entry.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::correction {
namespace {

// The packages the build made from examples/effects with CMake's zip writer
// read whole and without a warning. What their controls are and how they
// render is pinned by the lumaro-host tests, which use each of them.
TEST(ExamplePackageTest, EveryExampleReadsWithoutAWarning) {
  const test::LogCapture log;
  int packages = 0;
  for (const auto& item : std::filesystem::directory_iterator(LUMARO_EFFECTS_DIR)) {
    if (item.path().extension() != ".lumaro-effect") continue;
    ++packages;
    effects::library::Entry entry(item.path());
    const auto source = entry.GetSource();
    ASSERT_NE(source, nullptr) << item.path();
    EXPECT_FALSE(entry.GetPrompt().empty()) << item.path();
    const EffectSourceMetadata metadata(source->metadata);
    ASSERT_TRUE(metadata.GetEntryPoint()) << item.path();
    EXPECT_NE(source->kernelSource.find("__kernel void " + *metadata.GetEntryPoint() + "("), std::string::npos);
    EXPECT_FALSE(metadata.GetControls().empty());
  }
  EXPECT_GE(packages, 4);
  EXPECT_TRUE(log.Lines().empty());
}

} // namespace
} // namespace brantok::lumaro::correction

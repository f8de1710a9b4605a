#include "correction/EffectSourceMetadata.h"
#include "correction/effects/IColorPicker.h"
#include "correction/effects/IOptionControl.h"
#include "correction/effects/IRangeControl.h"
#include "correction/effects/controls/Angle.h"
#include "correction/effects/controls/Checkbox.h"
#include "correction/effects/controls/Point.h"
#include "correction/effects/library/Entry.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <set>

namespace brantok::lumaro::correction {
namespace {

// The packages the build made from examples/effects with CMake's zip writer.
TEST(ExamplePackageTest, EveryExampleReadsAndTogetherTheyCoverEveryControlKind) {
  const test::LogCapture log;
  std::set<std::string> kinds;
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
    for (const auto& control : metadata.GetControls()) {
      if (std::dynamic_pointer_cast<effects::IRangeControl>(control)) kinds.insert("slider");
      if (std::dynamic_pointer_cast<effects::IColorPicker>(control)) kinds.insert("color");
      if (std::dynamic_pointer_cast<effects::IOptionControl<int>>(control)) kinds.insert("choice");
      if (std::dynamic_pointer_cast<effects::controls::Angle>(control)) kinds.insert("angle");
      if (std::dynamic_pointer_cast<effects::controls::Checkbox>(control)) kinds.insert("checkbox");
      if (std::dynamic_pointer_cast<effects::controls::Point>(control)) kinds.insert("point");
    }
  }
  EXPECT_GE(packages, 4);
  EXPECT_EQ(kinds, (std::set<std::string>{"slider", "color", "choice", "angle", "checkbox", "point"}));
  EXPECT_TRUE(log.Lines().empty());
}

} // namespace
} // namespace brantok::lumaro::correction

#include "core/PathText.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::core {
namespace {

// "Grüße ✓ 日本" in UTF-8: two-, three-byte and CJK characters.
const std::string kUtf8Name = "Gr\xC3\xBC\xC3\x9F"
                              "e \xE2\x9C\x93 \xE6\x97\xA5\xE6\x9C\xAC.lumaro-effect";

TEST(PathTextTest, Utf8RoundTripsThroughPaths) {
  const auto path = PathFromUtf8(kUtf8Name);
  EXPECT_EQ(PathToUtf8(path), kUtf8Name);
  EXPECT_EQ(PathToUtf8(PathFromUtf8("")), "");
  EXPECT_EQ(PathToUtf8(PathFromUtf8("plain/ascii.txt")), "plain/ascii.txt");
}

TEST(PathTextTest, Utf8PathNamesTheSameFileOnDisk) {
  const test::TempFolder folder;
  const auto file = folder.Path() / PathFromUtf8(kUtf8Name);
  test::WriteFile(file, "content");
  bool listed = false;
  for (const auto& item : std::filesystem::directory_iterator(folder.Path())) {
    listed = listed || PathToUtf8(item.path().filename()) == kUtf8Name;
  }
  EXPECT_TRUE(listed);
  EXPECT_EQ(test::ReadFile(file), "content");
}

TEST(PathTextTest, NarrowTextKeepsAsciiPaths) {
  EXPECT_EQ(PathToNarrow(PathFromUtf8("C:/Effects/Warm Glow.lumaro-effect")), "C:/Effects/Warm Glow.lumaro-effect");
}

} // namespace
} // namespace brantok::lumaro::core

// The path texts that dialogs and messages show.
#include "core/Dialogs.h"
#include "core/PathText.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::core {
namespace {

TEST(RemoveLongPathPrefixTest, StripsThePrefixOnlyAndLongUncPathsBecomeUncPaths) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"\\\\?\\C:\\Effects", "C:\\Effects"},
      {"\\\\?\\", ""},
      {"\\\\.\\C:\\Effects", "\\\\.\\C:\\Effects"},
      {"", ""},
      {"\\\\?\\UNC\\server\\share\\Effects", "\\\\server\\share\\Effects"},
      {"\\\\?\\unc\\server\\share", "\\\\server\\share"},
      {"\\\\?\\UNCLE\\x", "UNCLE\\x"}, // a folder that merely starts with the letters
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(RemoveLongPathPrefix(std::filesystem::path(in)).native(), std::filesystem::path(out).native()) << in;
}

// "Grüße ✓ 日本" in UTF-8: two-, three-byte and CJK characters.
const std::string kUtf8Name = "Gr\xC3\xBC\xC3\x9F"
                              "e \xE2\x9C\x93 \xE6\x97\xA5\xE6\x9C\xAC.lumaro-effect";

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

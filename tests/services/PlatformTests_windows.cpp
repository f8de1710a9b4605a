// Windows only: MoveFileExW with the long-path forms that Windows paths may
// arrive in.
#include "services/FileMove.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::services {
namespace {

TEST(WindowsFileMoveTest, MovesBetweenLongPrefixedPathsReplacingTheTarget) {
  const test::TempFolder folder;
  test::WriteFile(folder / "shared", "effect bytes");
  test::WriteFile(folder / "target", "older");
  const std::filesystem::path absolute = std::filesystem::absolute(folder.Path());
  const std::filesystem::path prefixed = std::filesystem::path(L"\\\\?\\" + absolute.native());

  EXPECT_TRUE(MoveFileReplacing(prefixed / "shared", prefixed / "target"));
  EXPECT_EQ(test::ReadFile(folder / "target"), "effect bytes");
  EXPECT_FALSE(std::filesystem::exists(folder / "shared"));
}

} // namespace
} // namespace brantok::lumaro::services

#include "services/FileMove.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::services {
namespace {

using test::ReadFile;
using test::WriteFile;

bool RefuseToMove(const std::filesystem::path&, const std::filesystem::path&) { return false; }

TEST(FileMoveTest, MoveReplacesAnExistingFile) {
  const test::TempFolder folder;
  std::filesystem::create_directories(folder / "kept");
  WriteFile(folder / "Warm.lumaro-effect", "new");
  WriteFile(folder / "kept" / "Warm.lumaro-effect", "old and longer");

  EXPECT_TRUE(MoveFileReplacing(folder / "Warm.lumaro-effect", folder / "kept" / "Warm.lumaro-effect"));
  EXPECT_FALSE(std::filesystem::exists(folder / "Warm.lumaro-effect"));
  EXPECT_EQ(ReadFile(folder / "kept" / "Warm.lumaro-effect"), "new");
}

TEST(FileMoveTest, MoveOfAMissingFileFails) {
  const test::TempFolder folder;
  EXPECT_FALSE(MoveFileReplacing(folder / "missing", folder / "target"));
  EXPECT_FALSE(std::filesystem::exists(folder / "target"));
}

TEST(FileMoveTest, FallbackCopiesOverTheTargetAndRemovesTheSource) {
  const test::TempFolder folder;
  WriteFile(folder / "shared", "effect bytes");
  WriteFile(folder / "target", "an older file that is longer");

  EXPECT_TRUE(MoveFileWithFallback(folder / "shared", folder / "target", RefuseToMove));
  EXPECT_FALSE(std::filesystem::exists(folder / "shared"));
  EXPECT_EQ(ReadFile(folder / "target"), "effect bytes");
}

// A copy that cannot be made, and one onto the file itself (which would lose
// it), keep the source.
TEST(FileMoveTest, FallbackThatCannotCopyKeepsTheSource) {
  const test::TempFolder folder;
  WriteFile(folder / "shared", "effect bytes");
  for (const auto& target : {folder / "no such folder" / "target", folder / "shared"}) {
    EXPECT_FALSE(MoveFileWithFallback(folder / "shared", target, RefuseToMove)) << target;
    EXPECT_EQ(ReadFile(folder / "shared"), "effect bytes");
  }
}

} // namespace
} // namespace brantok::lumaro::services

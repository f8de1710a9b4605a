// The dialogs' responder slot, and the path texts that dialogs and messages show.
#include "core/DialogResponder.h"
#include "core/Dialogs.h"
#include "core/PathText.h"

#include "ScriptedResponder.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace brantok::lumaro::core {
namespace {

using test::ScriptedResponder;

class DialogResponderTest : public ::testing::Test {
protected:
  void SetUp() override { SetDialogResponder(responder_); }
  void TearDown() override { ClearDialogResponder(); }

  std::shared_ptr<ScriptedResponder> responder_ = std::make_shared<ScriptedResponder>();
};

// Message boxes reach it in every service test (update check, sync).
TEST_F(DialogResponderTest, FileDialogsReachTheResponderWithTheirArgumentsAndAnswer) {
  const auto chosen = std::filesystem::path("chosen") / "Warm.lumaro-effect";
  responder_->fileDialogAnswers = {chosen, std::filesystem::path("kept.lumaro-effect")};
  const std::vector<FileTypeFilter> filters{{"*.lumaro-effect", "Lumaro Effect"}, {"*.*", "All files"}};
  EXPECT_EQ(OpenFileDialog("Select Lumaro Effect", filters, std::filesystem::path("start")), chosen);
  EXPECT_EQ(SaveFileDialog("Save Warm", filters, std::filesystem::path("share") / "Warm.lumaro-effect",
                           std::filesystem::path("suggested"), std::filesystem::path("forced")),
            std::filesystem::path("kept.lumaro-effect"));
  ASSERT_EQ(responder_->fileDialogs.size(), 2u);
  const auto& open = responder_->fileDialogs[0];
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.title, "Select Lumaro Effect");
  ASSERT_EQ(open.filters.size(), 2u);
  EXPECT_EQ(open.filters[1].pattern, "*.*");
  EXPECT_EQ(open.filters[1].displayName, "All files");
  EXPECT_EQ(open.defaultFolder, std::filesystem::path("start"));
  const auto& save = responder_->fileDialogs[1];
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.fileName, std::filesystem::path("share") / "Warm.lumaro-effect");
  EXPECT_EQ(save.defaultFolder, std::filesystem::path("suggested"));
  EXPECT_EQ(save.folder, std::filesystem::path("forced"));
}

TEST(RemoveLongPathPrefixTest, StripsThePrefixOnlyAndLongUncPathsBecomeUncPaths) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"\\\\?\\C:\\Effects", "C:\\Effects"},
      {"\\\\?\\", ""},
      {"\\\\server\\share", "\\\\server\\share"},
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

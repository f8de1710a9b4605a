#include "core/DialogResponder.h"
#include "core/Dialogs.h"

#include "ScriptedResponder.h"

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

TEST_F(DialogResponderTest, EveryDialogReachesTheResponderWithItsArgumentsAndAnswer) {
  responder_->messageBoxAnswers = {eMessageBoxResult::No, eMessageBoxResult::Yes};
  EXPECT_EQ(ShowMessageBox(eMessageBoxType::Question, "Receive Warm from Lumaro?", "Sync From Lumaro"),
            eMessageBoxResult::No);
  EXPECT_EQ(ShowMessageBox(static_cast<eMessageBoxType>(9), "odd\nkind", ""), eMessageBoxResult::Yes);
  ASSERT_EQ(responder_->messageBoxes.size(), 2u);
  EXPECT_EQ(responder_->messageBoxes[0].type, eMessageBoxType::Question);
  EXPECT_EQ(responder_->messageBoxes[0].text, "Receive Warm from Lumaro?");
  EXPECT_EQ(responder_->messageBoxes[0].caption, "Sync From Lumaro");
  EXPECT_EQ(static_cast<int>(responder_->messageBoxes[1].type), 9);
  EXPECT_EQ(responder_->messageBoxes[1].text, "odd\nkind");

  const auto chosen = std::filesystem::path("chosen") / "Warm.lumaro-effect";
  responder_->fileDialogAnswers = {chosen, std::nullopt, std::filesystem::path("kept.lumaro-effect")};
  const std::vector<FileTypeFilter> filters{{"*.lumaro-effect", "Lumaro Effect"}, {"*.*", "All files"}};
  EXPECT_EQ(OpenFileDialog("Select Lumaro Effect", filters, std::filesystem::path("start")), chosen);
  EXPECT_FALSE(OpenFileDialog("", {}, std::nullopt).has_value());
  EXPECT_EQ(SaveFileDialog("Save Warm", {{"*.lumaro-effect", "Lumaro Effect"}},
                           std::filesystem::path("share") / "Warm.lumaro-effect", std::filesystem::path("suggested"),
                           std::filesystem::path("forced")),
            std::filesystem::path("kept.lumaro-effect"));
  ASSERT_EQ(responder_->fileDialogs.size(), 3u);
  const auto& open = responder_->fileDialogs[0];
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.title, "Select Lumaro Effect");
  ASSERT_EQ(open.filters.size(), 2u);
  EXPECT_EQ(open.filters[0].pattern, "*.lumaro-effect");
  EXPECT_EQ(open.filters[0].displayName, "Lumaro Effect");
  EXPECT_EQ(open.filters[1].pattern, "*.*");
  EXPECT_EQ(open.defaultFolder, std::filesystem::path("start"));
  EXPECT_TRUE(responder_->fileDialogs[1].filters.empty());
  EXPECT_FALSE(responder_->fileDialogs[1].defaultFolder.has_value());
  const auto& save = responder_->fileDialogs[2];
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.title, "Save Warm");
  EXPECT_EQ(save.filters.size(), 1u);
  EXPECT_EQ(save.fileName, std::filesystem::path("share") / "Warm.lumaro-effect");
  EXPECT_EQ(save.defaultFolder, std::filesystem::path("suggested"));
  EXPECT_EQ(save.folder, std::filesystem::path("forced"));
}

TEST_F(DialogResponderTest, InstallingAnotherResponderReplacesTheFirst) {
  const auto second = std::make_shared<ScriptedResponder>();
  SetDialogResponder(second);
  EXPECT_EQ(GetDialogResponder(), second);
  ShowMessageBox(eMessageBoxType::Information, "text", "caption");
  EXPECT_EQ(second->messageBoxes.size(), 1u);
  EXPECT_TRUE(responder_->messageBoxes.empty());

  ClearDialogResponder();
  EXPECT_EQ(GetDialogResponder(), nullptr);
}

TEST(RemoveLongPathPrefixTest, StripsThePrefixOnly) {
  using std::filesystem::path;
  EXPECT_EQ(RemoveLongPathPrefix(path("\\\\?\\C:\\Effects")).native(), path("C:\\Effects").native());
  EXPECT_EQ(RemoveLongPathPrefix(path("\\\\?\\")).native(), path().native());
  EXPECT_EQ(RemoveLongPathPrefix(path("C:\\Effects")).native(), path("C:\\Effects").native());
  EXPECT_EQ(RemoveLongPathPrefix(path("\\\\server\\share")).native(), path("\\\\server\\share").native());
  EXPECT_EQ(RemoveLongPathPrefix(path("\\\\.\\C:\\Effects")).native(), path("\\\\.\\C:\\Effects").native());
  EXPECT_EQ(RemoveLongPathPrefix(path("/tmp/effects")).native(), path("/tmp/effects").native());
  EXPECT_EQ(RemoveLongPathPrefix(path("")).native(), path().native());
}

TEST(RemoveLongPathPrefixTest, LongUncPathsBecomeUncPaths) {
  using std::filesystem::path;
  EXPECT_EQ(RemoveLongPathPrefix(path("\\\\?\\UNC\\server\\share\\Effects")).native(),
            path("\\\\server\\share\\Effects").native());
  EXPECT_EQ(RemoveLongPathPrefix(path("\\\\?\\unc\\server\\share")).native(), path("\\\\server\\share").native());
  // A folder that merely starts with the letters stays a folder.
  EXPECT_EQ(RemoveLongPathPrefix(path("\\\\?\\UNCLE\\x")).native(), path("UNCLE\\x").native());
}

} // namespace
} // namespace brantok::lumaro::core

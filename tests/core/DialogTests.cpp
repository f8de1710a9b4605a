#include "core/DialogResponder.h"
#include "core/Dialogs.h"

#include <gtest/gtest.h>

#include <memory>

namespace brantok::lumaro::core {
namespace {

// Remembers the last call of each kind and answers with preset values.
class RecordingResponder : public IDialogResponder {
public:
  eMessageBoxResult messageBoxAnswer = eMessageBoxResult::None;
  std::optional<std::filesystem::path> fileAnswer;

  int calls = 0;
  eMessageBoxType type{};
  std::string text, caption, title;
  std::vector<FileTypeFilter> filters;
  std::optional<std::filesystem::path> fileName, defaultFolder, folder;

  eMessageBoxResult AnswerMessageBox(eMessageBoxType boxType, const std::string& boxText,
                                     const std::string& boxCaption) override {
    ++calls;
    type = boxType;
    text = boxText;
    caption = boxCaption;
    return messageBoxAnswer;
  }

  std::optional<std::filesystem::path>
  AnswerOpenFileDialog(const std::string& dialogTitle, const std::vector<FileTypeFilter>& dialogFilters,
                       const std::optional<std::filesystem::path>& dialogDefaultFolder) override {
    ++calls;
    title = dialogTitle;
    filters = dialogFilters;
    defaultFolder = dialogDefaultFolder;
    return fileAnswer;
  }

  std::optional<std::filesystem::path>
  AnswerSaveFileDialog(const std::string& dialogTitle, const std::vector<FileTypeFilter>& dialogFilters,
                       const std::optional<std::filesystem::path>& dialogFileName,
                       const std::optional<std::filesystem::path>& dialogDefaultFolder,
                       const std::optional<std::filesystem::path>& dialogFolder) override {
    ++calls;
    title = dialogTitle;
    filters = dialogFilters;
    fileName = dialogFileName;
    defaultFolder = dialogDefaultFolder;
    folder = dialogFolder;
    return fileAnswer;
  }
};

class DialogResponderTest : public ::testing::Test {
protected:
  void SetUp() override { SetDialogResponder(responder_); }
  void TearDown() override { ClearDialogResponder(); }

  std::shared_ptr<RecordingResponder> responder_ = std::make_shared<RecordingResponder>();
};

TEST_F(DialogResponderTest, MessageBoxesReachTheResponderWithTheirArguments) {
  responder_->messageBoxAnswer = eMessageBoxResult::No;
  EXPECT_EQ(ShowMessageBox(eMessageBoxType::Question, "Receive Warm from Lumaro?", "Sync From Lumaro"),
            eMessageBoxResult::No);
  EXPECT_EQ(responder_->calls, 1);
  EXPECT_EQ(responder_->type, eMessageBoxType::Question);
  EXPECT_EQ(responder_->text, "Receive Warm from Lumaro?");
  EXPECT_EQ(responder_->caption, "Sync From Lumaro");

  responder_->messageBoxAnswer = eMessageBoxResult::Yes;
  EXPECT_EQ(ShowMessageBox(static_cast<eMessageBoxType>(9), "odd\nkind", ""), eMessageBoxResult::Yes);
  EXPECT_EQ(static_cast<int>(responder_->type), 9);
  EXPECT_EQ(responder_->text, "odd\nkind");
  EXPECT_EQ(responder_->caption, "");
}

TEST_F(DialogResponderTest, OpenFileDialogPassesTitleFiltersInOrderAndFolder) {
  responder_->fileAnswer = std::filesystem::path("chosen") / "Warm.lumaro-effect";
  const std::vector<FileTypeFilter> filters{{"*.lumaro-effect", "Lumaro Effect"}, {"*.*", "All files"}};
  const auto result = OpenFileDialog("Select Lumaro Effect", filters, std::filesystem::path("start"));
  EXPECT_EQ(result, responder_->fileAnswer);
  EXPECT_EQ(responder_->title, "Select Lumaro Effect");
  ASSERT_EQ(responder_->filters.size(), 2u);
  EXPECT_EQ(responder_->filters[0].pattern, "*.lumaro-effect");
  EXPECT_EQ(responder_->filters[0].displayName, "Lumaro Effect");
  EXPECT_EQ(responder_->filters[1].pattern, "*.*");
  EXPECT_EQ(responder_->defaultFolder, std::filesystem::path("start"));

  responder_->fileAnswer.reset();
  EXPECT_FALSE(OpenFileDialog("", {}, std::nullopt).has_value());
  EXPECT_TRUE(responder_->filters.empty());
  EXPECT_FALSE(responder_->defaultFolder.has_value());
}

TEST_F(DialogResponderTest, SaveFileDialogPassesEveryArgument) {
  responder_->fileAnswer = std::filesystem::path("kept.lumaro-effect");
  const auto result = SaveFileDialog("Save Warm", {{"*.lumaro-effect", "Lumaro Effect"}},
                                     std::filesystem::path("share") / "Warm.lumaro-effect",
                                     std::filesystem::path("suggested"), std::filesystem::path("forced"));
  EXPECT_EQ(result, std::filesystem::path("kept.lumaro-effect"));
  EXPECT_EQ(responder_->calls, 1);
  EXPECT_EQ(responder_->title, "Save Warm");
  ASSERT_EQ(responder_->filters.size(), 1u);
  EXPECT_EQ(responder_->fileName, std::filesystem::path("share") / "Warm.lumaro-effect");
  EXPECT_EQ(responder_->defaultFolder, std::filesystem::path("suggested"));
  EXPECT_EQ(responder_->folder, std::filesystem::path("forced"));
}

TEST_F(DialogResponderTest, InstallingAnotherResponderReplacesTheFirst) {
  const auto second = std::make_shared<RecordingResponder>();
  SetDialogResponder(second);
  EXPECT_EQ(GetDialogResponder(), second);
  ShowMessageBox(eMessageBoxType::Information, "text", "caption");
  EXPECT_EQ(second->calls, 1);
  EXPECT_EQ(responder_->calls, 0);

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

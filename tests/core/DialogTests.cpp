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

} // namespace
} // namespace brantok::lumaro::core

#include "services/CompanionSync.h"

#include "core/DialogResponder.h"
#include "core/LocalAppData.h"
#include "services/FileMove.h"

#include "LogCapture.h"
#include "SavedVariable.h"
#include "ScriptedResponder.h"
#include "TempFolder.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::services {
namespace {

using core::eMessageBoxResult;
using core::eMessageBoxType;
using test::ReadFile;
using test::WriteFile;

const std::string Caption = "Sync From Lumaro";
const std::string FailureText = "Unable to sync with Lumaro. Please try sharing again.";

using test::SavedVariable;

// Each test gets its own local application-data folder through XDG_DATA_HOME.
// Windows has no such switch; under Wine the known folder lies in the build's
// own Wine prefix, so the tests use it there and clear its share folder. On
// Windows itself they are skipped rather than touch the user's share folder.
class CompanionSyncTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::SetEnvironment("XDG_DATA_HOME", data_.Path().string());
    ASSERT_TRUE(core::GetLocalAppDataPath(base_, "BRANTOK Lumaro"));
    redirected_ = base_ == data_ / "BRANTOKSTUDIO" / "BRANTOK Lumaro";
    if (!redirected_) {
      if (!test::RunningUnderWine()) GTEST_SKIP() << "the local application-data folder cannot be redirected here";
      std::filesystem::remove_all(base_ / "Share");
    }
    core::SetDialogResponder(responder_);
  }
  void TearDown() override {
    core::ClearDialogResponder();
    std::error_code ignored;
    if (!redirected_ && test::RunningUnderWine()) std::filesystem::remove_all(base_ / "Share", ignored);
  }

  std::filesystem::path Share() const { return base_ / "Share" / "premiere"; }

  std::filesystem::path ShareFile(const std::string& name, const std::string& content) {
    std::filesystem::create_directories(Share());
    WriteFile(Share() / name, content);
    return Share() / name;
  }

  // `count` message boxes were shown, the last of them this one.
  void ExpectBoxes(std::size_t count, eMessageBoxType type, const std::string& text) {
    ASSERT_EQ(responder_->messageBoxes.size(), count);
    EXPECT_EQ(responder_->messageBoxes.back().type, type);
    EXPECT_EQ(responder_->messageBoxes.back().text, text);
    EXPECT_EQ(responder_->messageBoxes.back().caption, Caption);
  }

  const SavedVariable savedXdg_{"XDG_DATA_HOME"};
  const test::TempFolder data_;
  std::filesystem::path base_;
  bool redirected_ = false;
  const test::TempFolder elsewhere_;
  const test::LogCapture log_;
  std::shared_ptr<test::ScriptedResponder> responder_ = std::make_shared<test::ScriptedResponder>();
};

TEST_F(CompanionSyncTest, UnknownApplicationDataFolderIsAFailure) {
  if (!redirected_) GTEST_SKIP() << "the folder comes from the system here";
  const SavedVariable savedHome("HOME");
  test::SetEnvironment("XDG_DATA_HOME", std::nullopt);
  test::SetEnvironment("HOME", std::nullopt);

  EXPECT_FALSE(SyncFromLumaro());
  ExpectBoxes(1, eMessageBoxType::Error, FailureText);
  EXPECT_EQ(log_.Entries(), (std::vector<std::pair<core::eLogChannel, std::string>>{
                                {core::eLogChannel::Info, "Failed to get LocalAppData path for SyncFromLumaro"}}));
}

// Nothing shared, a No, or a cancelled save dialog: the user is told or asked
// once and the shared file stays where it is.
TEST_F(CompanionSyncTest, NothingSharedDecliningOrCancellingMovesNothing) {
  EXPECT_FALSE(SyncFromLumaro());
  ExpectBoxes(1, eMessageBoxType::Information, "No Lumaro effect shared with Adobe Premiere");

  const auto shared = ShareFile("Warm.lumaro-effect", "warm effect");
  for (const auto answer : {eMessageBoxResult::No, eMessageBoxResult::Yes}) {
    responder_->messageBoxes.clear();
    responder_->messageBoxAnswers = {answer};
    EXPECT_FALSE(SyncFromLumaro());
    ExpectBoxes(1, eMessageBoxType::Question, "Receive Warm from Lumaro?");
    // The save dialog opens only after a Yes, and is cancelled here.
    EXPECT_EQ(responder_->fileDialogs.size(), answer == eMessageBoxResult::Yes ? 1u : 0u);
    EXPECT_EQ(ReadFile(shared), "warm effect");
  }
}

TEST_F(CompanionSyncTest, SharedFileIsOfferedByNameAndMovedWhereTheUserSavesIt) {
  const auto shared = ShareFile("Warm.lumaro-effect", "warm effect");
  std::filesystem::create_directories(Share() / "Cold.lumaro-effect"); // a folder, skipped
  const auto chosen = elsewhere_ / "Kept Warm.lumaro-effect";
  // A closed question box is not a No: the save dialog still opens.
  responder_->messageBoxAnswers = {eMessageBoxResult::None};
  responder_->fileDialogAnswers = {chosen};

  EXPECT_EQ(SyncFromLumaro(), chosen);

  ExpectBoxes(1, eMessageBoxType::Question, "Receive Warm from Lumaro?");
  ASSERT_EQ(responder_->fileDialogs.size(), 1u);
  const auto& dialog = responder_->fileDialogs[0];
  EXPECT_TRUE(dialog.save);
  EXPECT_EQ(dialog.title, "Save Warm");
  ASSERT_EQ(dialog.filters.size(), 1u);
  EXPECT_EQ(dialog.filters[0].pattern, "*.lumaro-effect");
  EXPECT_EQ(dialog.filters[0].displayName, "Lumaro Effect");
  EXPECT_EQ(dialog.fileName, std::filesystem::path("Warm.lumaro-effect"));
  EXPECT_FALSE(dialog.defaultFolder);
  EXPECT_FALSE(dialog.folder);

  EXPECT_FALSE(std::filesystem::exists(shared));
  EXPECT_EQ(ReadFile(chosen), "warm effect");
  EXPECT_TRUE(log_.Lines().empty());
}

// The desktop application withdraws its file while the save dialog is open:
// the file already at the chosen place is not the received one.
TEST_F(CompanionSyncTest, AFileWithdrawnDuringTheDialogIsAFailureWhateverLiesAtThePlace) {
  struct Withdrawing : test::ScriptedResponder {
    std::filesystem::path shared;
    std::optional<std::filesystem::path>
    AnswerSaveFileDialog(const std::string& title, const std::vector<core::FileTypeFilter>& filters,
                         const std::optional<std::filesystem::path>& fileName,
                         const std::optional<std::filesystem::path>& defaultFolder,
                         const std::optional<std::filesystem::path>& folder) override {
      std::filesystem::remove(shared);
      return ScriptedResponder::AnswerSaveFileDialog(title, filters, fileName, defaultFolder, folder);
    }
  };
  auto user = std::make_shared<Withdrawing>();
  user->shared = ShareFile("Warm.lumaro-effect", "warm effect");
  const auto chosen = elsewhere_ / "Warm.lumaro-effect";
  WriteFile(chosen, "an older effect");
  user->messageBoxAnswers = {eMessageBoxResult::Yes};
  user->fileDialogAnswers = {chosen};
  core::SetDialogResponder(user);
  EXPECT_FALSE(SyncFromLumaro());
  ASSERT_EQ(user->messageBoxes.size(), 2u);
  EXPECT_EQ(user->messageBoxes[1].text, FailureText);
}

// No such folder, or a folder at the chosen place: the move fails, is
// reported, and the shared file stays.
TEST_F(CompanionSyncTest, AFailedMoveIsReportedAndLeavesTheSharedFile) {
  const auto shared = ShareFile("Warm.lumaro-effect", "warm effect");
  std::filesystem::create_directories(elsewhere_ / "taken" / "inside");
  for (const auto& place : {elsewhere_ / "no such folder" / "Warm.lumaro-effect", elsewhere_ / "taken"}) {
    SCOPED_TRACE(place.string());
    responder_->messageBoxes.clear();
    responder_->messageBoxAnswers = {eMessageBoxResult::Yes};
    responder_->fileDialogAnswers = {place};
    EXPECT_FALSE(SyncFromLumaro());
    ExpectBoxes(2, eMessageBoxType::Error, FailureText);
    EXPECT_EQ(ReadFile(shared), "warm effect");
  }
  const std::pair<core::eLogChannel, std::string> failed{core::eLogChannel::Info,
                                                         "Failed to move effect file for SyncFromLumaro"};
  EXPECT_EQ(log_.Entries(), (std::vector{failed, failed}));
  EXPECT_TRUE(std::filesystem::is_directory(elsewhere_ / "taken" / "inside"));
}

TEST(FindFileWithExtensionTest, FindsOnlyRegularFilesDirectlyInAFolder) {
  const test::TempFolder folder;
  EXPECT_FALSE(FindFileWithExtension(folder / "absent", ".lumaro-effect"));
  WriteFile(folder / "file", "x");
  EXPECT_FALSE(FindFileWithExtension(folder / "file", ".lumaro-effect")); // not a folder
  std::filesystem::create_directories(folder / "Deep");
  WriteFile(folder / "Deep" / "Nested.lumaro-effect", "x");
  WriteFile(folder / "Warm.LUMARO-EFFECT", "x");
  WriteFile(folder / "Warm.lumaro-effect.bak", "x");
  WriteFile(folder / ".lumaro-effect", "x"); // a hidden file's name, no extension
  std::filesystem::create_directories(folder / "Folder.lumaro-effect");
  EXPECT_FALSE(FindFileWithExtension(folder.Path(), ".lumaro-effect"));

  WriteFile(folder / "Cold.lumaro-effect", "x");
  EXPECT_EQ(FindFileWithExtension(folder.Path(), ".lumaro-effect"), folder / "Cold.lumaro-effect");
  EXPECT_EQ(FindFileWithExtension(folder.Path(), ".LUMARO-EFFECT"), folder / "Warm.LUMARO-EFFECT");
}

bool RefuseToMove(const std::filesystem::path&, const std::filesystem::path&) { return false; }

// The platform's move, and the fallback's copy when the move fails.
TEST(FileMoveTest, MovingOrCopyingReplacesAnExistingFileAndRemovesTheSource) {
  const std::vector<std::pair<const char*, FileMover>> movers{
      {"move", MoveFileReplacing},
      {"copy", [](const auto& from, const auto& to) { return MoveFileWithFallback(from, to, RefuseToMove); }}};
  for (const auto& [name, move] : movers) {
    SCOPED_TRACE(name);
    const test::TempFolder folder;
    std::filesystem::create_directories(folder / "kept");
    WriteFile(folder / "Warm.lumaro-effect", "new");
    WriteFile(folder / "kept" / "Warm.lumaro-effect", "old and longer");
    EXPECT_TRUE(move(folder / "Warm.lumaro-effect", folder / "kept" / "Warm.lumaro-effect"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Warm.lumaro-effect"));
    EXPECT_EQ(ReadFile(folder / "kept" / "Warm.lumaro-effect"), "new");
  }
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

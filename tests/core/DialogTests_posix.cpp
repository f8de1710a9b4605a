// POSIX only: the stand-ins used when no responder is installed.
#include "core/DialogResponder.h"
#include "core/Dialogs.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::core {
namespace {

TEST(PosixDialogStandInTest, MessageBoxesGoToStandardErrorAnsweringNoneAndFileDialogsAreCancelled) {
  ClearDialogResponder();
  const test::LogCapture log;
  ::testing::internal::CaptureStderr();
  const auto answer = ShowMessageBox(eMessageBoxType::Question, "Receive Warm from Lumaro?", "Sync From Lumaro");
  const auto other = ShowMessageBox(eMessageBoxType::Error, "Unable to load selected file", "Invalid file");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Sync From Lumaro: Receive Warm from Lumaro?\nInvalid file: Unable to load selected file\n");
  EXPECT_EQ(answer, eMessageBoxResult::None);
  EXPECT_EQ(other, eMessageBoxResult::None);
  // File dialogs are cancelled.
  EXPECT_FALSE(OpenFileDialog("Select Lumaro Effect", {{"*.lumaro-effect", "Lumaro Effect"}}, std::nullopt));
  EXPECT_FALSE(SaveFileDialog("Save Warm", {{"*.lumaro-effect", "Lumaro Effect"}},
                              std::filesystem::path("Warm.lumaro-effect"), std::nullopt, std::nullopt));
  EXPECT_TRUE(log.Lines().empty());
}

} // namespace
} // namespace brantok::lumaro::core

#include "core/Logger.h"

#include "LogCapture.h"
#include "TempFolder.h"
#include "core/PathText.h"

#include <gtest/gtest.h>

#include <chrono>

namespace brantok::lumaro::core {
namespace {

using namespace std::chrono;
using test::ReadTextFile;
using test::TempFolder;

// 5 December 2026, 07:08:29.750 UTC
const system_clock::time_point kSampleTime =
    sys_days{year{2026} / December / 5} + hours{7} + minutes{8} + seconds{29} + milliseconds{750};

class LoggerTest : public ::testing::Test {
protected:
  void SetUp() override { Logger::RemoveHandlers(); }
  void TearDown() override { Logger::RemoveHandlers(); }
};

TEST_F(LoggerTest, LogFileNameIsDatedInUtcWithoutFraction) {
  EXPECT_EQ(Logger::MakeLogFileName("LumaroEffect", kSampleTime), "LumaroEffect_05-12-2026_07-08-29.log");
  EXPECT_EQ(Logger::MakeLogFileName(std::nullopt, kSampleTime), "05-12-2026_07-08-29.log");
}

TEST_F(LoggerTest, FileHandlerCreatesMissingFoldersAndFlushesEveryMessage) {
  const TempFolder folder;
  const auto file = folder / "a" / "b" / "Logs" / "named.log";
  Logger::AddFileHandler("ignored when a file is given", file);
  Logger::Log("first line", eLogChannel::Info);
  // On disk as soon as Log returns, whatever the channel.
  EXPECT_EQ(ReadTextFile(file), "first line\n");
  Logger::Log("second line", eLogChannel::Error);
  EXPECT_EQ(ReadTextFile(file), "first line\nsecond line\n");
}

TEST_F(LoggerTest, FileHandlerAppendsToAnExistingFileUntilRemoved) {
  const TempFolder folder;
  const auto file = folder / "existing.log";
  test::WriteFile(file, "earlier\n"); // written in binary mode: no \r on any platform
  Logger::AddFileHandler(std::nullopt, file);
  Logger::Log("later", eLogChannel::Info);
  // Removing the handlers closes the file: nothing more is written and it can go.
  Logger::RemoveHandlers();
  Logger::Log("dropped", eLogChannel::Info);
  EXPECT_EQ(ReadTextFile(file), "earlier\nlater\n");
  std::error_code error;
  EXPECT_TRUE(std::filesystem::remove(file, error)) << error.message();
}

TEST_F(LoggerTest, RegularFileInPlaceOfTheFolderIsReportedOnStandardErrorAndAddsNoHandler) {
  const TempFolder folder;
  test::WriteFile(folder / "Logs", "not a folder");
  const auto file = folder / "Logs" / "x.log";

  Logger::AddDefaultHandler();
  ::testing::internal::CaptureStderr();
  Logger::AddFileHandler("LumaroEffect", file);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "Failed to create log file: " + PathToNarrow(file) + "\n");

  // The failure went to standard error; only the default handler is left: an
  // Info message reaches standard output once and no file appears.
  ::testing::internal::CaptureStdout();
  Logger::Log("still logging", eLogChannel::Info);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "still logging\n");
  EXPECT_EQ(ReadTextFile(folder / "Logs"), "not a folder");
}

} // namespace
} // namespace brantok::lumaro::core

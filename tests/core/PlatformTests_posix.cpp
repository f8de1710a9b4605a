// POSIX only: the stand-ins for the Windows folder and debugger services.
#include "core/DebugOutput.h"
#include "core/LocalAppData.h"
#include "core/Logger.h"
#include "core/PathText.h"

#include "SavedVariable.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::core {
namespace {

using test::SavedVariable;

TEST(PosixLocalAppDataTest, PrefersXdgDataHomeThenHome) {
  const SavedVariable xdg("XDG_DATA_HOME"), home("HOME");
  std::filesystem::path out;

  test::SetEnvironment("XDG_DATA_HOME", "/xdg/data");
  test::SetEnvironment("HOME", "/home/editor");
  ASSERT_TRUE(GetLocalAppDataPath(out, "App"));
  EXPECT_EQ(out, "/xdg/data/BRANTOKSTUDIO/App");

  test::SetEnvironment("XDG_DATA_HOME", ""); // set but empty counts as unset
  ASSERT_TRUE(GetLocalAppDataPath(out, "App"));
  EXPECT_EQ(out, "/home/editor/.local/share/BRANTOKSTUDIO/App");
}

TEST(PosixLocalAppDataTest, UnknownFolderFailsAndLogsGoBelowTheTemporaryFolder) {
  const SavedVariable xdg("XDG_DATA_HOME"), home("HOME");
  test::SetEnvironment("XDG_DATA_HOME", std::nullopt);
  test::SetEnvironment("HOME", std::nullopt);

  std::filesystem::path out = "untouched";
  EXPECT_FALSE(GetLocalAppDataPath(out, "App"));
  EXPECT_EQ(out, "untouched");
  EXPECT_EQ(Logger::GetLogDirectory(),
            std::filesystem::temp_directory_path() / "BRANTOKSTUDIO" / "BRANTOK Lumaro Adobe Plugin" / "Logs");
}

TEST(PosixDebugOutputTest, NoTracerMeansNoDebugger) {
  // Tests run without a tracer unless someone debugs them.
  if (IsDebuggerAttached()) GTEST_SKIP() << "running under a debugger";
  ::testing::internal::CaptureStderr();
  WriteDebugOutput("debug text\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "debug text\n");
}

} // namespace
} // namespace brantok::lumaro::core

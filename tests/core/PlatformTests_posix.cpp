// POSIX only: the stand-ins for the Windows folder and debugger services.
#include "core/DebugOutput.h"
#include "core/LocalAppData.h"
#include "core/Logger.h"
#include "core/PathText.h"

#include "SavedVariable.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A process asks about itself, so each case runs in a child: one on its own,
// one traced by this test, as a debugger traces.
TEST(PosixDebugOutputTest, ATracerCountsAsADebugger) {
  for (const bool traced : {false, true}) {
    const pid_t child = fork();
    if (child == 0) {
      if (traced && ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(2);
      _exit(IsDebuggerAttached() == traced ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "tracing is not allowed here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << (traced ? "traced" : "on its own");
  }
  ::testing::internal::CaptureStderr();
  WriteDebugOutput("debug text\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "debug text\n");
}

} // namespace
} // namespace brantok::lumaro::core

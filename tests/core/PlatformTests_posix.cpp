// POSIX only: the stand-ins for the Windows folder and debugger services.
#include "core/DebugOutput.h"
#include "core/FileStamp.h"
#include "core/LocalAppData.h"
#include "core/Logger.h"
#include "core/PathText.h"

#include "SavedVariable.h"
#include "TempFolder.h"
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

// Each part of the stamp on its own tells one version of a file from the next.
TEST(PosixFileStampTest, SizeTimeAndIdentityEachTellVersionsApart) {
  const test::TempFolder folder;
  const auto path = folder / "a.lumaro-effect";
  test::WriteFile(path, "12345");
  const auto first = ReadFileStamp(path);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->size, 5u);
  EXPECT_NE(first->volume, 0u);
  std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(3));
  const auto retimed = ReadFileStamp(path);
  EXPECT_NE(retimed->modified, first->modified);
  EXPECT_EQ(std::tie(retimed->size, retimed->volume, retimed->file), std::tie(first->size, first->volume, first->file));
  // Renamed over it: the same size and time, another file.
  test::WriteFile(folder / "b", "54321");
  std::filesystem::last_write_time(folder / "b", std::filesystem::last_write_time(path));
  std::filesystem::rename(folder / "b", path);
  const auto replaced = ReadFileStamp(path);
  EXPECT_EQ(replaced->modified, retimed->modified);
  EXPECT_NE(replaced->file, retimed->file);
  EXPECT_FALSE(ReadFileStamp(folder.Path())) << "a folder has no stamp";
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

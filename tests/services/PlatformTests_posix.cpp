// POSIX only: the stand-ins for the Windows shell, file and internet calls.
#include "services/Downloader.h"
#include "services/FileMove.h"
#include "services/UrlOpener.h"

#include "LocalHttpServer.h"
#include "SavedVariable.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace brantok::lumaro::services {
namespace {

using test::SavedVariable;

TEST(PosixUrlOpenerTest, HandsTheAddressToXdgOpenAsItIs) {
  const test::TempFolder folder;
  const auto received = folder / "received";
  const auto script = folder / "xdg-open";
  test::WriteFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + received.string() + ".part\"\nmv \"" +
                              received.string() + ".part\" \"" + received.string() + "\"\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const SavedVariable savedPath("PATH");
  const char* path = std::getenv("PATH");
  test::SetEnvironment("PATH", folder.Path().string() + ":" + (path ? path : "/usr/bin:/bin"));

  // Shell syntax in an address must stay text.
  const std::string url = "https://x.test/a b?q=$(touch " + (folder / "ran").string() + ")&r=`id`;'\"";
  OpenUrlWithSystem(url);

  // xdg-open runs in the background; give it a moment.
  for (int i = 0; i < 200 && !std::filesystem::exists(received); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  EXPECT_EQ(test::ReadFile(received), url);
  EXPECT_FALSE(std::filesystem::exists(folder / "ran"));
}

TEST(PosixUrlOpenerTest, NothingToStartIsNotAnError) {
  const test::TempFolder empty;
  const SavedVariable savedPath("PATH");
  test::SetEnvironment("PATH", empty.Path().string());
  EXPECT_NO_THROW(OpenUrlWithSystem("https://x.test/"));
}

TEST(PosixFileMoveTest, RenameFailsAcrossFileSystemsAndTheFallbackCopies) {
  const std::filesystem::path memory = "/dev/shm";
  struct stat memoryStat {};
  struct stat scratchStat {};
  const test::TempFolder folder;
  if (::stat(memory.c_str(), &memoryStat) != 0 || ::stat(folder.Path().c_str(), &scratchStat) != 0 ||
      memoryStat.st_dev == scratchStat.st_dev) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  test::WriteFile(folder / "shared", "effect bytes");
  const auto target = memory / ("lumaro-move-test-" + folder.Path().filename().string());

  EXPECT_FALSE(MoveFileReplacing(folder / "shared", target));
  const bool moved = MoveFileWithFallback(folder / "shared", target);
  const std::string content = test::ReadFile(target);
  std::error_code ignored;
  std::filesystem::remove(target, ignored);

  EXPECT_TRUE(moved);
  EXPECT_EQ(content, "effect bytes");
  EXPECT_FALSE(std::filesystem::exists(folder / "shared"));
}

TEST(PosixDownloaderTest, ProxySettingsOfTheEnvironmentAreIgnored) {
  const SavedVariable httpProxy("http_proxy"), allProxy("ALL_PROXY"), noProxy("no_proxy");
  const auto refusing = test::LocalHttpServer::RefusingUrl("").substr(std::string("http://").size());
  test::SetEnvironment("http_proxy", "http://" + refusing);
  test::SetEnvironment("ALL_PROXY", "http://" + refusing);
  test::SetEnvironment("no_proxy", std::nullopt);

  const test::LocalHttpServer server(test::HttpReply::Json("{}"));
  std::vector<std::uint8_t> out;
  EXPECT_TRUE(Downloader(server.Url("/v.json")).Download(out, 5));
  EXPECT_EQ(std::string(out.begin(), out.end()), "{}");
}

} // namespace
} // namespace brantok::lumaro::services

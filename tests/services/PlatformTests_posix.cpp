// POSIX only: the stand-ins for the Windows shell and internet calls.
#include "services/Downloader.h"
#include "services/UrlOpener.h"

#include "LocalHttpServer.h"
#include "SavedVariable.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

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

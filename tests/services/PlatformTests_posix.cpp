// POSIX only: the stand-ins for the Windows shell and internet calls.
#include "services/CompanionSync.h"
#include "services/Downloader.h"
#include "services/UrlOpener.h"

#include "LocalHttpServer.h"
#include "SavedVariable.h"
#include "TempFolder.h"

#include "LogCapture.h"

#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

namespace {
// Failures the system rarely gives on demand, switched on by one test each:
// libcurl unable to start a session (out of memory), and a folder listing
// that breaks off after its first entry (an I/O error part way through).
bool refuseCurlSessions = false;
bool breakListings = false;
bool listedAnEntry = false;
// A wait for a child that a signal interrupts once, and how many waits there were.
bool interruptAWait = false;
int waits = 0;
} // namespace

// These replace the libraries' functions for the whole test program and pass
// every call on unless their test switched them on.
extern "C" void* curl_easy_init() {
  static const auto real = reinterpret_cast<void* (*)()>(dlsym(RTLD_NEXT, "curl_easy_init"));
  return refuseCurlSessions ? nullptr : real();
}

extern "C" pid_t waitpid(pid_t child, int* status, int options) {
  static const auto real = reinterpret_cast<pid_t (*)(pid_t, int*, int)>(dlsym(RTLD_NEXT, "waitpid"));
  if (++waits > 5) { // a caller that waits on and on: let it go, as failed
    ADD_FAILURE() << "waited " << waits << " times";
    errno = 0;
    return 0;
  }
  if (std::exchange(interruptAWait, false)) {
    errno = EINTR;
    return -1;
  }
  return real(child, status, options);
}

// Visible to libstdc++, which lists folders for std::filesystem.
extern "C" __attribute__((visibility("default"))) dirent* readdir(DIR* folder) {
  static const auto real = reinterpret_cast<dirent* (*)(DIR*)>(dlsym(RTLD_NEXT, "readdir"));
  if (breakListings && listedAnEntry) {
    errno = EIO;
    return nullptr;
  }
  dirent* entry = real(folder);
  if (entry && std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) listedAnEntry = true;
  return entry;
}

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
  waits = 0;
  interruptAWait = true;
  OpenUrl(url); // no hook set: the system's opener
  EXPECT_EQ(waits, 2) << "the shell is reaped after an interrupted wait";

  // xdg-open runs in the background; give it a moment.
  for (int i = 0; i < 200 && !std::filesystem::exists(received); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  EXPECT_EQ(test::ReadFile(received), url);
  EXPECT_FALSE(std::filesystem::exists(folder / "ran"));

  // A host that ignores SIGCHLD has its children reaped for it; the wait for
  // the shell must still end.
  const auto previous = std::signal(SIGCHLD, SIG_IGN);
  OpenUrlWithSystem(url);
  std::signal(SIGCHLD, previous);
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

TEST(PosixDownloaderTest, AClientThatCannotStartIsAFailedOpen) {
  const test::LocalHttpServer server(test::HttpReply::Json("{}"));
  const test::LogCapture log;
  std::vector<std::uint8_t> out;
  refuseCurlSessions = true;
  const bool downloaded = Downloader(server.Url("/v.json")).Download(out, 5);
  refuseCurlSessions = false;
  EXPECT_FALSE(downloaded);
  EXPECT_EQ(log.Count("InternetOpen failed: "), 1);
}

// A sync must not take a listing that broke off for a folder with nothing shared.
TEST(PosixCompanionSyncTest, AFolderListingThatBreaksOffIsAnError) {
  const test::TempFolder folder;
  test::WriteFile(folder / "notes.txt", "");
  breakListings = true;
  listedAnEntry = false;
  EXPECT_THROW(FindFileWithExtension(folder.Path(), ".lumaro-effect"), std::filesystem::filesystem_error);
  breakListings = false;
}

} // namespace
} // namespace brantok::lumaro::services

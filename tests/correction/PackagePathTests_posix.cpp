// POSIX only: special files where a package is expected.
#include "LogCapture.h"
#include "TempFolder.h"
#include "core/PathText.h"
#include "correction/effects/library/EntryContent.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

namespace brantok::lumaro::correction::effects::library {
namespace {

TEST(PackagePathTest, APipeIsRefusedInsteadOfWaitedOn) {
  // A project may name any file; opening a pipe for reading waits for a
  // writer that never comes, and the host's thread with it.
  lumaro::test::TempFolder folder;
  lumaro::test::LogCapture log;
  const auto pipe = folder / "Pipe.lumaro-effect";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::promise<std::string> result;
  auto answer = result.get_future();
  std::thread reader([&] {
    try {
      ReadEntry(EntryContent::Kernel, pipe);
      result.set_value("no exception");
    } catch (const std::exception& error) {
      result.set_value(error.what());
    }
  });
  if (answer.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    // Let the reader go: a writer that closes at once gives it end of file.
    const int writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) close(writer);
    ADD_FAILURE() << "reading a pipe as a package waited for a writer";
  }
  reader.join();
  EXPECT_EQ(answer.get(), "Failed to open zip file: " + core::PathToNarrow(pipe));
}

TEST(PackagePathTest, ADeviceIsRefused) {
  EXPECT_THROW(ReadEntry(EntryContent::Kernel, "/dev/zero"), std::runtime_error);
}

} // namespace
} // namespace brantok::lumaro::correction::effects::library

#include "services/Downloader.h"

#include "core/ProductInformation.h"

#include "LocalHttpServer.h"
#include "LogCapture.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::services {
namespace {

using test::HttpReply;
using test::LocalHttpServer;

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(DownloaderTest, FetchesTheProductsVersionFileUnlessToldOtherwise) {
  EXPECT_EQ(Downloader().Url(), core::ProductInformation::VersionFileUrl);
  EXPECT_EQ(Downloader().Url(), "https://www.brantok.studio/products/lumaro-ae-plugin/latest-version.json");
  EXPECT_EQ(Downloader("http://127.0.0.1:1/x").Url(), "http://127.0.0.1:1/x");
}

TEST(DownloaderTest, AppendsTheWholeBodyAcrossManyBlocks) {
  std::string body;
  for (int i = 0; body.size() < 20000; ++i) body += std::to_string(i) + ",";
  const LocalHttpServer server(HttpReply::Json(body));
  const test::LogCapture log;

  std::vector<std::uint8_t> out{'>'};
  ASSERT_TRUE(Downloader(server.Url("/products/lumaro-ae-plugin/latest-version.json")).Download(out, 5));
  EXPECT_EQ(Text(out), ">" + body);
  EXPECT_TRUE(log.Lines().empty());

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /products/lumaro-ae-plugin/latest-version.json HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_NE((requests[0] + "\r\n").find("\r\nUser-Agent: Downloader\r\n"), std::string::npos) << requests[0];
}

TEST(DownloaderTest, RefusedConnectionIsReportedAsAFailedOpen) {
  const test::LogCapture log;
  std::vector<std::uint8_t> out;
  EXPECT_FALSE(Downloader(LocalHttpServer::RefusingUrl("/v.json")).Download(out, 5));
  EXPECT_TRUE(out.empty());
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].first, core::eLogChannel::Error);
  EXPECT_EQ(entries[0].second.rfind("InternetOpenUrl failed: ", 0), 0u) << entries[0].second;
  EXPECT_GT(entries[0].second.size(), std::string("InternetOpenUrl failed: ").size());
}

// A server that never answers: UpdateCheckTest.SilentServerFailsTheCheckOnceTheTimeoutPasses.
TEST(DownloaderTest, BodyThatBreaksOffIsAFailedReadKeepingWhatArrived) {
  if (test::RunningUnderWine()) GTEST_SKIP() << "Wine's WinINet has no receive timeout";
  const LocalHttpServer server(HttpReply::BrokenOff(100, "{\"version\""));
  const test::LogCapture log;
  std::vector<std::uint8_t> out;
  EXPECT_FALSE(Downloader(server.Url("/v.json")).Download(out, 1));
  EXPECT_FALSE(server.OutwaitedAClient());
  EXPECT_EQ(log.Count("InternetReadFile failed: "), 1);
  // How much of the part that arrived was handed over before the failure
  // depends on the client library's buffering; what was is kept.
  const std::string received = Text(out);
  EXPECT_EQ(std::string("{\"version\"").rfind(received, 0), 0u) << received;
}

} // namespace
} // namespace brantok::lumaro::services

// The update check and the download under it, against a local HTTP server.
#include "services/UpdateCheck.h"

#include "core/DialogResponder.h"
#include "services/UrlOpener.h"

#include "LocalHttpServer.h"
#include "LogCapture.h"
#include "ScriptedResponder.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace brantok::lumaro::services {
namespace {

using core::eMessageBoxResult;
using core::eMessageBoxType;
using test::HttpReply;
using test::LocalHttpServer;

const std::string VersionFilePath = "/products/lumaro-ae-plugin/latest-version.json";
const std::string FailureText = "Please check manually at: www.brantok.studio/lumaro";

std::string VersionFile(const std::string& version, const std::string& notes = "",
                        const std::string& downloadUrl = "https://www.brantok.studio/lumaro/download") {
  return R"({"version": ")" + version + R"(", "download-url": ")" + downloadUrl + R"(", "release-notes": ")" + notes +
         R"("})";
}

class UpdateCheckTest : public ::testing::Test {
protected:
  void SetUp() override {
    core::SetDialogResponder(responder_);
    SetUrlOpenerHook([this](const std::string& url) { opened_.push_back(url); });
  }
  void TearDown() override {
    SetUrlOpenerHook({});
    core::ClearDialogResponder();
  }

  // Runs the check against a server that answers with `reply`.
  void CheckAgainst(HttpReply reply, unsigned timeoutSeconds = 5) {
    const LocalHttpServer server(std::move(reply));
    CheckForUpdates(Downloader(server.Url(VersionFilePath)), timeoutSeconds);
  }

  void ExpectOnlyBox(eMessageBoxType type, const std::string& text, const std::string& caption) {
    ASSERT_EQ(responder_->messageBoxes.size(), 1u);
    EXPECT_EQ(responder_->messageBoxes[0].type, type);
    EXPECT_EQ(responder_->messageBoxes[0].text, text);
    EXPECT_EQ(responder_->messageBoxes[0].caption, caption);
  }

  void ExpectFailureBox() { ExpectOnlyBox(eMessageBoxType::Warning, FailureText, "Check for updates failed"); }

  const test::LogCapture log_;
  std::shared_ptr<test::ScriptedResponder> responder_ = std::make_shared<test::ScriptedResponder>();
  std::vector<std::string> opened_;
};

TEST_F(UpdateCheckTest, SameOlderSuffixedOrFullerVersionFilesAreNotOffered) {
  const std::vector<std::string> bodies{
      VersionFile("1.0.0", "notes"), VersionFile("0.9.9"), VersionFile("1.0.0-beta"),
      R"({"channel": "stable", "version": "1.0.0", "download-url": "https://x.test/", "release-notes": "", "size": 3})"};
  for (const auto& body : bodies) {
    SCOPED_TRACE(body);
    responder_->messageBoxes.clear();
    CheckAgainst(HttpReply::Json(body));
    ExpectOnlyBox(eMessageBoxType::Information, "You have the latest version: 1.0.0", "Check for Updates");
    // The downloaded version is parsed and logged like the product's own.
    if (body == bodies[0]) {
      EXPECT_EQ(log_.Count("BRANTOK Lumaro Adobe Plugin 1.0.0"), 1);
    }
  }
  EXPECT_TRUE(opened_.empty());
}

// Plain http and upper-case schemes are web pages too; any answer but Yes opens nothing.
TEST_F(UpdateCheckTest, AnOfferOpensTheDownloadPageOnlyOnYes) {
  const std::string question = "A new version of BRANTOK Lumaro Adobe Plugin is available: 1.0.1\nProceed to "
                               "download page?";
  using Case = std::tuple<eMessageBoxResult, std::string, std::string, std::string>;
  for (const auto& [answer, notes, url, text] :
       {Case{eMessageBoxResult::Yes, "Faster kernels", "https://example.test/get?v=1.0.1",
             question + "\n\nFaster kernels"},
        Case{eMessageBoxResult::Yes, "", "http://x.test/", question},
        Case{eMessageBoxResult::Yes, "", "HTTPS://X.test/", question},
        Case{eMessageBoxResult::No, "", "https://x.test/no", question}}) {
    SCOPED_TRACE(url);
    responder_->messageBoxes.clear();
    opened_.clear();
    responder_->messageBoxAnswers = {answer};
    CheckAgainst(HttpReply::Json(VersionFile("1.0.1", notes, url)));
    ExpectOnlyBox(eMessageBoxType::Question, text, "Update Available");
    EXPECT_EQ(opened_, answer == eMessageBoxResult::Yes ? std::vector<std::string>{url} : std::vector<std::string>{});
  }
}

TEST_F(UpdateCheckTest, VersionFilesThatOfferNoWebPageFailTheCheck) {
  const std::vector<std::string> bodies = {
      "",
      R"(["1.0.1"])",
      R"({"version": "1.0.1", "download-url": "https://x.test/"})",
      R"({"version": "1.0.1", "download-url": null, "release-notes": ""})",
      R"({"version": "1.0.1", /* comment */ "download-url": "https://x.test/", "release-notes": ""})",
      // Too few dots: no version, but no parse error either.
      VersionFile("1.0"),
      // Download addresses other than web pages are never offered.
      VersionFile("9.0.0", "", "file:///etc/passwd"),
      VersionFile("9.0.0", "", "https://"),
      VersionFile("9.0.0", "", "https://x.test/a b"),
      VersionFile("9.0.0", "", "-https://x.test/"),
  };
  responder_->messageBoxAnswers.assign(bodies.size(), eMessageBoxResult::Yes);
  for (const auto& body : bodies) CheckAgainst(HttpReply::Json(body));
  ASSERT_EQ(responder_->messageBoxes.size(), bodies.size());
  for (const auto& box : responder_->messageBoxes) {
    EXPECT_EQ(box.type, eMessageBoxType::Warning);
    EXPECT_EQ(box.text, FailureText);
    EXPECT_EQ(box.caption, "Check for updates failed");
  }
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(log_.Count("Failed to parse version string: "), 0);
}

TEST_F(UpdateCheckTest, SilentServerFailsTheCheckOnceTheTimeoutPasses) {
  if (test::RunningUnderWine()) GTEST_SKIP() << "Wine's WinINet has no receive timeout";
  const LocalHttpServer server(HttpReply::Silent());
  CheckForUpdates(Downloader(server.Url(VersionFilePath)), 1);
  EXPECT_FALSE(server.OutwaitedAClient());
  ExpectFailureBox();
  EXPECT_EQ(log_.Count("InternetOpenUrl failed: "), 1);
}

TEST_F(UpdateCheckTest, FailingResponderDoesNotLetExceptionsOut) {
  class ThrowingResponder : public test::ScriptedResponder {
  public:
    core::eMessageBoxResult AnswerMessageBox(core::eMessageBoxType, const std::string&, const std::string&) override {
      throw std::runtime_error("no desktop");
    }
  };
  core::SetDialogResponder(std::make_shared<ThrowingResponder>());
  EXPECT_NO_THROW(CheckAgainst(HttpReply::Json(VersionFile("1.0.0"))));
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

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

// A server that never answers: the silent-server update check above.
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

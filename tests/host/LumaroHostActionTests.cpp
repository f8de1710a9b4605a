#include "HostProgram.h"
#include "TempFolder.h"
#include "TestEnvironment.h"
#include "TestPlatform.h"
#include "core/PathText.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace brantok::lumaro::host {
namespace {

using lumaro::test::TempFolder;
using test::ProcessResult;

const std::filesystem::path kEffects = LUMARO_EFFECTS_DIR;

std::string Utf8(const std::filesystem::path& path) { return core::PathToUtf8(path); }

bool SameFile(const nlohmann::json& text, const std::filesystem::path& path) {
  std::error_code error;
  return text.is_string() && std::filesystem::equivalent(core::PathFromUtf8(text.get<std::string>()), path, error);
}

// The user's actions in the effect's panel, through `lumaro-host action`.
// Each test has its own XDG_DATA_HOME, so the share folder the sync looks in
// is its own. Windows has no such switch: under Wine the share folder of the
// build's own prefix is used and cleared; on Windows itself the sync tests
// are skipped rather than touch the user's share folder.
class LumaroHostActionTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { test::PrepareHostEnvironment(); }

  void SetUp() override {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg) savedXdg_ = xdg;
    lumaro::test::SetEnvironment("XDG_DATA_HOME", Utf8(data_.Path()));
    const auto local = lumaro::test::PlatformLocalAppData();
    std::error_code error;
    if (local && std::filesystem::equivalent(*local, data_.Path(), error)) {
      companion_ = data_ / "BRANTOKSTUDIO" / "BRANTOK Lumaro";
    } else if (local && lumaro::test::RunningUnderWine()) {
      companion_ = *local / "BRANTOKSTUDIO" / "BRANTOK Lumaro";
      prefixShare_ = true;
      std::filesystem::remove_all(*companion_ / "Share");
    }
  }

  void TearDown() override {
    std::error_code ignored;
    if (prefixShare_) std::filesystem::remove_all(*companion_ / "Share", ignored);
    lumaro::test::SetEnvironment("XDG_DATA_HOME", savedXdg_);
  }

  // The folder the plug-in receives shared packages from; empty where this
  // test cannot have one of its own.
  std::filesystem::path Share() {
    if (!companion_) return {};
    return *companion_ / "Share" / "premiere";
  }

  static ProcessResult Run(const std::vector<std::string>& arguments) { return test::RunHost(arguments); }

  // `lumaro-host action --json` with these arguments, parsed.
  static nlohmann::json Action(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"action", "--json"});
    const auto result = Run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    auto report = nlohmann::json::parse(result.output, nullptr, false);
    EXPECT_TRUE(report.is_object()) << result.output;
    return report.is_object() ? report : nlohmann::json::object();
  }

  static std::vector<int> ControlParameters(const nlohmann::json& report) {
    std::vector<int> indices;
    for (const auto& control : report["controls"]) indices.push_back(control["parameter"].get<int>());
    return indices;
  }

  static void ExpectFailure(const ProcessResult& result, const std::string& reason) {
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
    EXPECT_TRUE(result.errors.starts_with("lumaro-host: ")) << result.errors;
    EXPECT_NE(result.errors.find(reason), std::string::npos) << result.errors;
    EXPECT_EQ(result.output, "");
  }

  TempFolder data_;
  TempFolder folder_;
  std::optional<std::string> savedXdg_;
  std::optional<std::filesystem::path> companion_;
  bool prefixShare_ = false;
};

#define SKIP_WITHOUT_OWN_SHARE_FOLDER()                                                                                \
  if (Share().empty()) GTEST_SKIP() << "the local application-data folder cannot be redirected here"

TEST_F(LumaroHostActionTest, MistakesFailWithOneLineBeforeAnythingHappens) {
  ExpectFailure(Run({"action"}), "--press update|sync or --choose none|browse|effect");
  ExpectFailure(Run({"action", "--press", "print"}), "unknown --press 'print' (sync|update)");
  ExpectFailure(Run({"action", "--choose", "Sepia"}), "unknown --choose 'Sepia'");
  ExpectFailure(Run({"action", "--press", "sync", "--choose", "none"}), "one of --press and --choose");
  ExpectFailure(Run({"action", "--press", "sync", "--press", "update"}), "--press given twice");
  // The update check would go to the network; its mistakes never get that far.
  ExpectFailure(Run({"action", "--press", "update", "--answer", "maybe"}), "unknown --answer 'maybe' (yes or no)");
  ExpectFailure(Run({"action", "--press", "update", "--choose-file"}), "--choose-file needs a value");
  ExpectFailure(Run({"action", "--press", "update", "--module", Utf8(folder_ / "NoSuchModule")}), "does not exist");
  ExpectFailure(Run({"action", "--choose", "effect", "--effect", Utf8(folder_ / "Absent.lumaro-effect")}),
                "Absent.lumaro-effect does not exist");
  const auto help = Run({"help"});
  EXPECT_NE(help.output.find("lumaro-host action"), std::string::npos);
}

TEST_F(LumaroHostActionTest, BrowsingToAnExampleLoadsItAndShowsItsControls) {
  const auto example = kEffects / "WarmGlow.lumaro-effect";
  const auto report = Action({"--choose", "browse", "--choose-file", Utf8(example)});
  EXPECT_EQ(report["action"], "choose browse");
  ASSERT_EQ(report["dialogs"].size(), 1u) << report.dump();
  EXPECT_EQ(report["dialogs"][0]["dialog"], "open file");
  EXPECT_EQ(report["dialogs"][0]["title"], "Select Lumaro Effect");
  EXPECT_TRUE(SameFile(report["dialogs"][0]["file"], example)) << report.dump();
  EXPECT_TRUE(SameFile(report["effectPath"], example)) << report.dump();
  EXPECT_EQ(report["effectPopup"]["value"], 4);
  EXPECT_EQ(report["effectPopup"]["choices"], (nlohmann::json{"None", "Browse...", "(-", "WarmGlow"}));
  EXPECT_EQ(report["effectId"], true);
  EXPECT_EQ(ControlParameters(report), (std::vector<int>{7, 12}));
  EXPECT_EQ(report["controls"][0]["name"], "Amount");
  EXPECT_EQ(report["controls"][0]["type"], "slider");
  EXPECT_EQ(report["controls"][0]["disabled"], false);
  EXPECT_EQ(report["controls"][1]["name"], "Tint");
  EXPECT_EQ(report["controls"][1]["type"], "color");
  EXPECT_EQ(report["unused"], nlohmann::json::array());
}

TEST_F(LumaroHostActionTest, CancellingBrowseTurnsTheEffectOff) {
  const auto result = Run({"action", "--effect", Utf8(kEffects / "WarmGlow.lumaro-effect"), "--choose", "browse"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_NE(result.output.find("open file:    Select Lumaro Effect -> cancelled\n"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("effect popup: 1 None ("), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("controls:     0\n"), std::string::npos) << result.output;
}

TEST_F(LumaroHostActionTest, ChoosingNoneForgetsTheEffect) {
  const auto report = Action({"--effect", Utf8(kEffects / "WarmGlow.lumaro-effect"), "--choose", "none"});
  EXPECT_EQ(report["dialogs"], nlohmann::json::array());
  EXPECT_EQ(report["effectPopup"]["value"], 1);
  EXPECT_EQ(report["effectId"], false);
  EXPECT_EQ(report["controls"], nlohmann::json::array());
}

TEST_F(LumaroHostActionTest, ReselectingTheStoredEffectShowsItAgain) {
  const auto example = kEffects / "ToneChoice.lumaro-effect";
  const auto report = Action({"--effect", Utf8(example), "--choose", "effect"});
  EXPECT_EQ(report["dialogs"], nlohmann::json::array());
  EXPECT_TRUE(SameFile(report["effectPath"], example)) << report.dump();
  EXPECT_EQ(report["effectPopup"]["value"], 4);
  EXPECT_EQ(report["effectPopup"]["choice"], "ToneChoice");
  EXPECT_EQ(report["effectId"], true);
  ASSERT_EQ(ControlParameters(report), (std::vector<int>{8, 13})) << report.dump();
  EXPECT_EQ(report["controls"][0]["name"], "Tone");
  EXPECT_EQ(report["controls"][0]["type"], "popup");
  EXPECT_EQ(report["controls"][1]["name"], "Levels");
}

TEST_F(LumaroHostActionTest, SyncWithNothingSharedSaysSo) {
  SKIP_WITHOUT_OWN_SHARE_FOLDER();
  const auto result = Run({"action", "--press", "sync", "--answer", "yes"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.errors, "");
  EXPECT_NE(result.output.find("message box:  (information) Sync From Lumaro: No Lumaro effect shared with Adobe "
                               "Premiere -> ok\n"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("effect path:  (empty)\n"), std::string::npos) << result.output;
  // Boxes with only OK take no answer.
  EXPECT_NE(result.output.find("unused:       --answer yes\n"), std::string::npos) << result.output;
}

TEST_F(LumaroHostActionTest, SyncReceivesTheSharedPackageWhereTheUserSavesIt) {
  SKIP_WITHOUT_OWN_SHARE_FOLDER();
  std::filesystem::create_directories(Share());
  std::filesystem::copy_file(kEffects / "PulseVignette.lumaro-effect", Share() / "Shared Look.lumaro-effect");
  const auto saved = folder_ / "Received.lumaro-effect";
  const auto report = Action({"--press", "sync", "--answer", "yes", "--save-file", Utf8(saved)});
  ASSERT_EQ(report["dialogs"].size(), 2u) << report.dump();
  EXPECT_EQ(report["dialogs"][0]["type"], "question");
  EXPECT_EQ(report["dialogs"][0]["caption"], "Sync From Lumaro");
  EXPECT_EQ(report["dialogs"][0]["text"], "Receive Shared Look from Lumaro?");
  EXPECT_EQ(report["dialogs"][0]["answer"], "yes");
  EXPECT_EQ(report["dialogs"][1]["dialog"], "save file");
  EXPECT_EQ(report["dialogs"][1]["title"], "Save Shared Look");
  EXPECT_TRUE(SameFile(report["dialogs"][1]["file"], saved)) << report.dump();

  EXPECT_FALSE(std::filesystem::exists(Share() / "Shared Look.lumaro-effect"));
  EXPECT_TRUE(std::filesystem::is_regular_file(saved));
  EXPECT_TRUE(SameFile(report["effectPath"], saved)) << report.dump();
  EXPECT_EQ(report["effectPopup"]["value"], 4);
  EXPECT_EQ(report["effectPopup"]["choice"], "Received");
  EXPECT_EQ(report["effectId"], true);
  EXPECT_EQ(ControlParameters(report), (std::vector<int>{7, 13})) << report.dump();
}

TEST_F(LumaroHostActionTest, DecliningOrCancellingTheSyncLeavesThePackageShared) {
  SKIP_WITHOUT_OWN_SHARE_FOLDER();
  std::filesystem::create_directories(Share());
  std::filesystem::copy_file(kEffects / "PulseVignette.lumaro-effect", Share() / "Shared Look.lumaro-effect");
  const auto saved = folder_ / "Received.lumaro-effect";

  // Without an answer the question is declined.
  auto report = Action({"--press", "sync", "--save-file", Utf8(saved)});
  ASSERT_EQ(report["dialogs"].size(), 1u) << report.dump();
  EXPECT_EQ(report["dialogs"][0]["answer"], "no");
  EXPECT_EQ(report["unused"], (nlohmann::json{"--save-file"}));
  EXPECT_EQ(report["effectPath"], "");
  EXPECT_EQ(report["effectId"], false);

  report = Action({"--press", "sync", "--answer", "no", "--save-file", Utf8(saved)});
  ASSERT_EQ(report["dialogs"].size(), 1u) << report.dump();
  EXPECT_EQ(report["dialogs"][0]["answer"], "no");

  // Yes, then no file in the save dialog.
  report = Action({"--press", "sync", "--answer", "yes"});
  ASSERT_EQ(report["dialogs"].size(), 2u) << report.dump();
  EXPECT_TRUE(report["dialogs"][1]["file"].is_null());
  EXPECT_EQ(report["effectPopup"]["value"], 1);

  EXPECT_TRUE(std::filesystem::is_regular_file(Share() / "Shared Look.lumaro-effect"));
  EXPECT_FALSE(std::filesystem::exists(saved));
}

// A machine without an OpenCL driver keeps the user's choice and says why;
// the same project, opened where the runtime is, renders the effect.
TEST_F(LumaroHostActionTest, WithoutOpenClTheChoiceIsKeptForAMachineThatHasADevice) {
  TempFolder noDriver;
  const auto example = kEffects / "WarmGlow.lumaro-effect";
  const auto input = folder_ / "card.png";
  const auto output = folder_ / "out.png";
  ASSERT_EQ(Run({"sample", "--output", Utf8(input)}).exitCode, 0);
  const auto chosen = test::RunHostWithoutOpenCl(
      {"action", "--json", "--choose", "browse", "--choose-file", Utf8(example)}, noDriver.Path());
  if (!chosen) GTEST_SKIP() << "the OpenCL runtime cannot be hidden on Windows itself";
  ASSERT_EQ(chosen->exitCode, 0) << chosen->errors;
  EXPECT_EQ(chosen->errors, "");
  const auto report = nlohmann::json::parse(chosen->output, nullptr, false);
  ASSERT_TRUE(report.is_object()) << chosen->output;
  ASSERT_EQ(report["dialogs"].size(), 2u) << report.dump();
  EXPECT_EQ(report["dialogs"][1]["caption"], "No OpenCL Device");
  const auto text = report["dialogs"][1]["text"].get<std::string>();
  EXPECT_TRUE(text.starts_with("No OpenCL device was found, so 'WarmGlow' cannot be rendered")) << text;
  EXPECT_NE(text.find("A graphics driver with OpenCL support is needed"), std::string::npos) << text;
  EXPECT_TRUE(SameFile(report["effectPath"], example)) << report.dump();
  EXPECT_EQ(report["effectPopup"]["value"], 4);
  EXPECT_EQ(report["effectPopup"]["choices"], (nlohmann::json{"None", "Browse...", "(-", "WarmGlow"}));
  EXPECT_TRUE(ControlParameters(report).empty());

  const std::string reason = "No OpenCL device was found: a graphics driver with OpenCL support is needed";
  ExpectFailure(
      *test::RunHostWithoutOpenCl(
          {"render", "--effect", Utf8(example), "--input", Utf8(input), "--output", Utf8(output)}, noDriver.Path()),
      reason);
  ExpectFailure(*test::RunHostWithoutOpenCl({"info", "--effect", Utf8(example)}, noDriver.Path()), reason);
  EXPECT_FALSE(std::filesystem::exists(output));

  const auto kept = report["effectPath"].get<std::string>();
  const auto render = Run({"render", "--effect", kept, "--input", Utf8(input), "--output", Utf8(output)});
  ASSERT_EQ(render.exitCode, 0) << render.errors;
  EXPECT_NE(lumaro::test::ReadFile(output), lumaro::test::ReadFile(input));
}

} // namespace
} // namespace brantok::lumaro::host

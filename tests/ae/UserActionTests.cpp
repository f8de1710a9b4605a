#include "ControlParam.h"
#include "EffectHost.h"
#include "HandleStore.h"
#include "HostWorld.h"
#include "LogCapture.h"
#include "PackageWriter.h"
#include "ScriptedResponder.h"
#include "TempFolder.h"
#include "TestEnvironment.h"
#include "ae/EffectDispatch.h"
#include "ae/EffectPathValue.h"
#include "ae/LumaroEffect.h"
#include "ae/SequenceData.h"
#include "core/DialogResponder.h"
#include "core/Logger.h"
#include "core/PathText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace brantok::lumaro::ae {
namespace {

using core::eMessageBoxResult;
using core::eMessageBoxType;
using host::EffectHost;
using namespace test;

struct MessageBox {
  eMessageBoxType type;
  std::string text;
  std::string caption;
  friend bool operator==(const MessageBox&, const MessageBox&) = default;
};

std::ostream& operator<<(std::ostream& out, const MessageBox& box) {
  return out << static_cast<int>(box.type) << " '" << box.caption << "': '" << box.text << "'";
}

class UserActionTest : public ::testing::Test {
protected:
  void SetUp() override {
    core::SetDialogResponder(user_);
    host_ = std::make_unique<EffectHost>(&DispatchCommand);
    ASSERT_EQ(host_->GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host_->ParamsSetup(), PF_Err_NONE);
    ASSERT_EQ(host_->SequenceSetup(sequence_), PF_Err_NONE);
  }

  void TearDown() override {
    if (host_->SequenceData(sequence_)) {
      EXPECT_EQ(host_->SequenceSetdown(sequence_), PF_Err_NONE);
    }
    EXPECT_EQ(host_->GlobalSetdown(), PF_Err_NONE);
    EXPECT_EQ(host_->OutstandingSuites(), 0);
    host_.reset();
    core::ClearDialogResponder();
  }

  LumaroEffect& Instance() {
    return *dynamic_cast<LumaroEffect*>(*static_cast<IGlobalPluginInstance**>(*host_->GlobalData()));
  }
  SequenceData& Record() { return *static_cast<SequenceData*>(*host_->SequenceData(sequence_)); }

  // The user picks `value` in the Effect popup.
  PF_Err Choose(A_long value) {
    host_->Params().SetPopupValue(Layout::EffectPopup, value);
    return host_->UserChangedParam(sequence_, Layout::EffectPopup);
  }
  PF_Err Browse(std::optional<std::filesystem::path> file) {
    user_->fileDialogAnswers.push_back(std::move(file));
    return Choose(Layout::PopupBrowse);
  }

  std::vector<MessageBox> Boxes() const {
    std::vector<MessageBox> boxes;
    for (const auto& box : user_->messageBoxes) boxes.push_back({box.type, box.text, box.caption});
    return boxes;
  }

  std::string StoredPath() { return host_->Params().ReadArbitraryText(Layout::EffectPath); }
  A_long Popup() { return host_->Params().At(Layout::EffectPopup).u.pd.value; }
  std::vector<PF_ParamIndex> Visible() { return VisibleControlParams(*host_); }
  // The frame rendered from a 4x4 input with every byte `fill`.
  std::vector<std::uint8_t> Rendered(std::uint8_t fill = 0) {
    host::HostWorld input(4, 4);
    input.FillPixels(fill);
    host::HostWorld output(4, 4);
    EXPECT_EQ(host_->Render(sequence_, input, output), PF_Err_NONE);
    return output.PackedPixels();
  }
  // The sequence has no effect: none loaded or named by its record, no
  // control shown; the stored path and the popup as given.
  void ExpectNoEffect(const std::string& path, A_long popup) {
    EXPECT_EQ(StoredPath(), path);
    EXPECT_FALSE(Record().HasId());
    EXPECT_EQ(Instance().GetLoadedEffectCount(), 0u);
    EXPECT_EQ(Popup(), popup);
    EXPECT_TRUE(Visible().empty());
  }

  // A kernel taking the frame's arguments and then `arguments`; it writes
  // `pixel` (a float4's components) everywhere, or nothing when empty.
  static std::string Kernel(const std::string& name, const std::string& arguments, const std::string& pixel = "") {
    const std::string write = "write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(";
    return "__kernel void " + name +
           "(__read_only image2d_t input, __write_only image2d_t output, float time, int frame, float duration" +
           arguments + ") { " + (pixel.empty() ? "" : write + pixel + "));") + " }";
  }

  static std::filesystem::path Example(const std::string& name) {
    return std::filesystem::path(LUMARO_EFFECTS_DIR) / (name + ".lumaro-effect");
  }
  // A package whose metadata does not parse: the effect cannot be made at all.
  std::filesystem::path UnloadablePackage() {
    const auto path = folder_ / "Unloadable.lumaro-effect";
    lumaro::test::WritePackage(path, lumaro::test::StandardEntries("__kernel void k() {}", "{", "A prompt."));
    return path;
  }

  lumaro::test::TempFolder folder_;
  std::shared_ptr<lumaro::test::ScriptedResponder> user_ = std::make_shared<lumaro::test::ScriptedResponder>();
  std::unique_ptr<EffectHost> host_;
  int sequence_ = -1;
};

const MessageBox kLoadFailed{eMessageBoxType::Error, "Unable to load selected effect", "Invalid Lumaro Effect"};

TEST_F(UserActionTest, BrowsingToAPackageLoadsAndShowsIt) {
  ASSERT_EQ(Browse(Example("WarmGlow")), PF_Err_NONE);
  ASSERT_EQ(user_->fileDialogs.size(), 1u);
  ASSERT_EQ(user_->fileDialogs[0].filters.size(), 1u);
  EXPECT_EQ(user_->fileDialogs[0].filters[0].pattern, "*.lumaro-effect");
  EXPECT_EQ(user_->fileDialogs[0].filters[0].displayName, "Lumaro Effect");
  EXPECT_FALSE(user_->fileDialogs[0].defaultFolder);
  // The path, popup, id and controls shown are pinned through the module by
  // lumaro-host's action tests.
  EXPECT_EQ(Instance().GetLoadedEffectCount(), 1u);
  EXPECT_EQ(host_->Params().At(Layout::EffectPopup).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
  // The starting values go to the host with the panel.
  EXPECT_EQ(host_->Params().At(kWarmGlowAmount).u.fs_d.value, 0.5);
  EXPECT_EQ(host_->Params().At(kWarmGlowTint).u.cd.value.red, 255);
  EXPECT_EQ(host_->Params().At(kWarmGlowTint).uu.change_flags, PF_ChangeFlag_CHANGED_VALUE);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserActionTest, CancelledBrowsingKeepsThePathAndTheLoadedEffect) {
  ASSERT_EQ(Browse(Example("WarmGlow")), PF_Err_NONE);
  const auto id = Record().id;
  ASSERT_EQ(Browse(std::nullopt), PF_Err_NONE);
  // The popup at None and no control shown are held by lumaro-host's action tests.
  EXPECT_EQ(StoredPath(), core::PathToUtf8(Example("WarmGlow")));
  EXPECT_EQ(Record().id, id);
  EXPECT_EQ(Instance().GetLoadedEffectCount(), 1u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserActionTest, BrowsingToSomethingThatIsNotAFileSaysSo) {
  ASSERT_EQ(Browse(folder_.Path()), PF_Err_NONE);
  ASSERT_EQ(Browse(folder_ / "Missing.lumaro-effect"), PF_Err_NONE);
  const MessageBox invalidFile{eMessageBoxType::Error, "Unable to load selected file", "Invalid file"};
  EXPECT_EQ(Boxes(), (std::vector<MessageBox>{invalidFile, invalidFile}));
  ExpectNoEffect("", Layout::PopupBrowse); // the popup left as the user chose it
}

TEST_F(UserActionTest, APackageThatDoesNotLoadResetsTheSequence) {
  ASSERT_EQ(Browse(Example("WarmGlow")), PF_Err_NONE);
  ASSERT_EQ(Browse(UnloadablePackage()), PF_Err_NONE);
  EXPECT_EQ(Boxes(), std::vector<MessageBox>{kLoadFailed});
  ExpectNoEffect("", Layout::PopupNone);
  EXPECT_EQ(host_->Params().Text(Layout::EffectPopup), "None|Browse...||");
}

TEST_F(UserActionTest, AKernelThatDoesNotBuildIsShownDisabledWithTheReason) {
  const auto package = folder_ / "Broken Look.lumaro-effect";
  lumaro::test::WritePackage(package,
                             lumaro::test::StandardEntries("__kernel void look( {",
                                                           R"({"title": "Broken", "kernel": "look", "controls": [
                                                 {"class": "slider", "id": "a", "label": "A", "min": 0, "max": 1,
                                                  "default": 0}]})",
                                                           "A prompt."));
  ASSERT_EQ(Browse(package), PF_Err_NONE);
  EXPECT_EQ(Popup(), Layout::PopupEffect);
  EXPECT_EQ(host_->Params().Text(Layout::EffectPopup), "None|Browse...|(-|Broken Look (cannot run)");
  const MessageBox unsupported{eMessageBoxType::Error,
                               "'Broken Look' failed to load and will be disabled.\n\nFor details, see the log file "
                               "at: " +
                                   core::PathToNarrow(core::Logger::GetLogDirectory()) +
                                   "\n\nkernel.cl:1:21: error: expected parameter declarator",
                               "Unsupported Lumaro Effect"};
  EXPECT_EQ(Boxes(), std::vector<MessageBox>{unsupported});
}

// A reopened project says at once that its effect cannot run, whatever the
// failure, and shows the controls it would have, disabled.
TEST_F(UserActionTest, AReopenedProjectSaysItsEffectCannotRun) {
  const std::string amount = R"([{"class": "slider", "id": "a", "label": "A", "min": 0, "max": 1, "default": 0}])";
  const std::vector<std::pair<std::string, std::string>> packages{
      {Kernel("other", ", float a"), R"({"kernel": "look", "controls": )" + amount + "}"},
      {Kernel("look", ", int a"), R"({"kernel": "look", "controls": )" + amount + "}"},
      {"__kernel void look(__global float4* input) {}", R"({"kernel": "look", "controls": []})"}};
  for (const auto& [kernel, metadata] : packages) {
    SCOPED_TRACE(kernel);
    const auto package = folder_ / "Look.lumaro-effect";
    lumaro::test::WritePackage(package, lumaro::test::StandardEntries(kernel, metadata, ""));
    host_->Params().WriteArbitraryText(Layout::EffectPath, core::PathToUtf8(package));
    host_->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
    ASSERT_EQ(host_->UpdateParamsUI(sequence_), PF_Err_NONE);
    EXPECT_EQ(host_->Params().Text(Layout::EffectPopup), "None|Browse...|(-|Look (cannot run)");
    const bool controls = metadata != R"({"kernel": "look", "controls": []})";
    EXPECT_EQ(Visible(), controls ? std::vector<PF_ParamIndex>{kFirstSlider} : std::vector<PF_ParamIndex>{});
    EXPECT_TRUE(!controls || (host_->Params().At(kFirstSlider).ui_flags & PF_PUI_DISABLED));
    ASSERT_EQ(host_->SequenceSetdown(sequence_), PF_Err_NONE);
    ASSERT_EQ(host_->SequenceSetup(sequence_), PF_Err_NONE);
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserActionTest, ReselectingTheEffectReadsThePackageAgainWithTheClipsValues) {
  ASSERT_EQ(Browse(Example("ToneChoice")), PF_Err_NONE);
  const auto id = Record().id;
  host_->ClearUIUpdates();
  ASSERT_EQ(Choose(Layout::PopupEffect), PF_Err_NONE);
  EXPECT_NE(Record().id, id);
  EXPECT_EQ(Instance().GetLoadedEffectCount(), 1u);
  EXPECT_EQ(Popup(), Layout::PopupEffect);
  EXPECT_EQ(Visible(), (std::vector<PF_ParamIndex>{kToneChoiceTone, kToneChoiceLevels}));
  EXPECT_EQ(host_->Params().At(kToneChoiceTone).u.pd.value, 2) << "the choice's initial option";
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserActionTest, NoFrameBringsBackAnEffectTheUserTurnedOff) {
  const auto package = folder_ / "Level.lumaro-effect";
  const auto write = [&](const std::string& label) {
    lumaro::test::WritePackage(
        package, lumaro::test::StandardEntries(
                     Kernel("level", ", float level", "level"),
                     R"({"title": "Level", "kernel": "level", "controls": [{"class": "slider", "id": "level", )"
                     R"("label": ")" +
                         label + R"(", "min": 0, "max": 1, "default": 1}]})",
                     "A prompt."));
  };
  write("Before");
  ASSERT_EQ(Browse(package), PF_Err_NONE);
  ASSERT_EQ(Choose(Layout::PopupNone), PF_Err_NONE);

  // Frames and panel refreshes the host asked for before the user chose None
  // still carry the effect's popup entry.
  host_->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
  EXPECT_EQ(Rendered(0x40), std::vector<std::uint8_t>(4 * 4 * 4, 0x40));
  ASSERT_EQ(host_->UpdateParamsUI(sequence_), PF_Err_NONE);
  EXPECT_FALSE(Record().HasId());
  EXPECT_EQ(Instance().GetLoadedEffectCount(), 1u) << "kept for the clip's values, not for frames";

  // Choosing the effect again reads the package as it is now.
  write("After");
  ASSERT_EQ(Choose(Layout::PopupEffect), PF_Err_NONE);
  EXPECT_TRUE(Record().HasId());
  EXPECT_EQ(std::string(host_->Params().At(kFirstSlider).name), "After");
}

TEST_F(UserActionTest, ReselectingKeepsTheClipsOwnValues) {
  ASSERT_EQ(Browse(Example("WarmGlow")), PF_Err_NONE);
  // A frame renders with 0.9; the user then sets 0.2 (as on a duplicated clip
  // that shares the loaded effect) and picks the effect's entry again.
  host_->Params().SetFloatSliderValue(kWarmGlowAmount, 0.9);
  Rendered();
  host_->Params().SetFloatSliderValue(kWarmGlowAmount, 0.2);
  ASSERT_EQ(Choose(Layout::PopupEffect), PF_Err_NONE);
  EXPECT_FLOAT_EQ(host_->Params().At(kWarmGlowAmount).u.fs_d.value, 0.2);
  EXPECT_EQ(Visible(), (std::vector<PF_ParamIndex>{kWarmGlowAmount, kWarmGlowTint}));
}

TEST_F(UserActionTest, APathTooLongForTheProjectIsRefusedAndChangesNothing) {
  ASSERT_EQ(Browse(Example("WarmGlow")), PF_Err_NONE);
  const auto id = Record().id;
  auto folder = folder_.Path();
  while (core::PathToUtf8(folder).size() < 2100) folder /= std::string(200, 'd');
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const auto package = folder / "Long.lumaro-effect";
  if (!error) std::filesystem::copy_file(Example("WarmGlow"), package, error);
  if (error) GTEST_SKIP() << "this file system takes no path of 2100 bytes";

  ASSERT_EQ(Browse(package), PF_Err_NONE);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].caption, "Invalid file");
  EXPECT_NE(Boxes()[0].text.find("too long"), std::string::npos);
  EXPECT_EQ(StoredPath(), core::PathToUtf8(Example("WarmGlow")));
  EXPECT_EQ(Record().id, id);
  EXPECT_EQ(Popup(), Layout::PopupEffect);
  EXPECT_EQ(host_->Params().Text(Layout::EffectPopup), "None|Browse...|(-|WarmGlow");
  EXPECT_EQ(Visible(), (std::vector<PF_ParamIndex>{kWarmGlowAmount, kWarmGlowTint}));

  // A record naming no loaded effect (a reopened project whose package is
  // gone) renders nothing, so the popup goes back to None.
  Record().id = correction::Uuid::Generate();
  ASSERT_EQ(Browse(package), PF_Err_NONE);
  EXPECT_EQ(Popup(), Layout::PopupNone);
}

// A stored path that no longer loads is refused as in the module's tests
// without OpenCL; with no path stored it is back to None without a word.
TEST_F(UserActionTest, ReselectingWithoutAStoredPathFallsBackToNone) {
  ASSERT_EQ(Choose(Layout::PopupEffect), PF_Err_NONE);
  EXPECT_EQ(Popup(), Layout::PopupNone);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(UserActionTest, OtherParametersAndAMissingIndexDoNothing) {
  for (const PF_ParamIndex index : {Layout::Information, kWarmGlowAmount, kWarmGlowTint, Layout::LastControlParam}) {
    host_->ClearUIUpdates();
    EXPECT_EQ(host_->UserChangedParam(sequence_, index), PF_Err_NONE);
    EXPECT_TRUE(host_->UIUpdates().empty());
  }
  host_->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupSeparator);
  EXPECT_EQ(host_->UserChangedParam(sequence_, Layout::EffectPopup), PF_Err_NONE);
  EXPECT_TRUE(Boxes().empty());
  // A missing record is the fault walk's; a missing parameter index is this.
  host::CommandOptions noIndex;
  noIndex.sequence = sequence_;
  EXPECT_EQ(host_->Send(PF_Cmd_USER_CHANGED_PARAM, noIndex), PF_Err_NONE);
}

class SyncActionTest : public UserActionTest {
protected:
  void SetUp() override {
    UserActionTest::SetUp();
    const auto appData = lumaro::test::PlatformLocalAppData();
    ASSERT_TRUE(appData);
    share_ = *appData / "BRANTOKSTUDIO" / "BRANTOK Lumaro" / "Share" / "premiere";
    std::filesystem::remove_all(share_);
  }
  void TearDown() override {
    std::filesystem::remove_all(share_);
    UserActionTest::TearDown();
  }
  std::filesystem::path Share(const std::filesystem::path& package, const std::string& name) {
    std::filesystem::create_directories(share_);
    const auto shared = share_ / (name + ".lumaro-effect");
    std::filesystem::copy_file(package, shared);
    return shared;
  }
  PF_Err PressSync() { return host_->UserChangedParam(sequence_, Layout::SyncButton); }

  std::filesystem::path share_;
};

TEST_F(SyncActionTest, AReceivedEffectIsLoadedAndShown) {
  const auto shared = Share(Example("WarmGlow"), "Warm");
  const auto kept = folder_ / "Kept.lumaro-effect";
  user_->messageBoxAnswers = {eMessageBoxResult::Yes};
  user_->fileDialogAnswers = {kept};
  ASSERT_EQ(PressSync(), PF_Err_NONE);
  EXPECT_FALSE(std::filesystem::exists(shared));
  EXPECT_TRUE(std::filesystem::is_regular_file(kept));
  EXPECT_EQ(StoredPath(), core::PathToUtf8(kept));
  EXPECT_TRUE(Record().HasId());
  EXPECT_EQ(Popup(), Layout::PopupEffect);
  EXPECT_EQ(host_->Params().Text(Layout::EffectPopup), "None|Browse...|(-|Kept");
  EXPECT_EQ(Visible(), (std::vector<PF_ParamIndex>{kWarmGlowAmount, kWarmGlowTint}));
  EXPECT_EQ(Boxes().size(), 1u) << "only the question";
}

// The clip's values follow its controls' ids: through None and back, and
// into a new version of its package that moved, narrowed and added controls;
// another package starts fresh.
TEST_F(SyncActionTest, TheClipKeepsItsValuesThroughNoneAndANewVersionOfItsPackage) {
  const std::string level = R"({"class": "slider", "id": "level", "label": "Level", "min": 0, "max": 1, )";
  const auto package = folder_ / "Level.lumaro-effect";
  lumaro::test::WritePackage(
      package, lumaro::test::StandardEntries(Kernel("k", ", float level", "level"),
                                             R"({"kernel": "k", "controls": [)" + level + R"("default": 1}]})", ""));
  ASSERT_EQ(Browse(package), PF_Err_NONE);
  host_->Params().SetFloatSliderValue(kFirstSlider, 0.6);
  ASSERT_EQ(Choose(Layout::PopupNone), PF_Err_NONE);
  ASSERT_EQ(Choose(Layout::PopupEffect), PF_Err_NONE);
  EXPECT_FLOAT_EQ(host_->Params().At(kFirstSlider).u.fs_d.value, 0.6);
  EXPECT_EQ(Rendered().at(0), 153);

  // Version 2 puts a new slider first and narrows the level's range; it is
  // received into the same file.
  const auto second = ControlParam(1, eControl::Slider);
  const auto v2 = folder_ / "v2.lumaro-effect";
  lumaro::test::WritePackage(
      v2, lumaro::test::StandardEntries(Kernel("k", ", float gain, float level", "level * gain"),
                                        R"({"kernel": "k", "controls": [{"class": "slider", "id": "gain", )"
                                        R"("label": "Gain", "min": 0, "max": 2, "default": 2}, )" +
                                            level + R"("max": 0.4, "default": 0.1}]})",
                                        ""));
  Share(v2, "Level");
  user_->messageBoxAnswers = {eMessageBoxResult::Yes};
  user_->fileDialogAnswers = {package};
  ASSERT_EQ(PressSync(), PF_Err_NONE);
  EXPECT_FLOAT_EQ(host_->Params().At(kFirstSlider).u.fs_d.value, 2.0) << "a new control starts fresh";
  EXPECT_FLOAT_EQ(host_->Params().At(second).u.fs_d.value, 0.4) << "the clip's 0.6, kept inside the new range";
  EXPECT_EQ(Rendered().at(0), 204);

  ASSERT_EQ(Browse(UnloadablePackage()), PF_Err_NONE);
  ASSERT_EQ(Browse(package), PF_Err_NONE);
  EXPECT_FLOAT_EQ(host_->Params().At(second).u.fs_d.value, 0.1) << "chosen anew after another package";
}

// An effect whose frame shows its controls' values: red and green from the
// sliders "a" and "b", blue from "c" (a checkbox, or an angle as a fraction
// of a turn), in the order `controls` lists them.
class ReloadTest : public SyncActionTest {
protected:
  static constexpr const char* kA =
      R"({"class": "slider", "id": "a", "label": "A", "min": 0, "max": 1, "default": 0.1})";
  static constexpr const char* kB =
      R"({"class": "slider", "id": "b", "label": "B", "min": 0, "max": 1, "default": 0.2})";
  static constexpr const char* kCheck = R"({"class": "checkbox", "id": "c", "label": "C", "default": false})";
  static constexpr const char* kAngle = R"({"class": "angle", "id": "c", "label": "C", "default": 90})";

  static std::string Version(const std::vector<std::string>& controls, bool angle = false, bool broken = false) {
    return lumaro::test::PackageBytes(VersionEntries(controls, angle, broken));
  }
  static std::vector<lumaro::test::PackageEntry> VersionEntries(const std::vector<std::string>& controls,
                                                                bool angle = false, bool broken = false) {
    std::string arguments;
    std::string metadata = R"({"kernel": "k", "controls": [)";
    for (const auto& control : controls) {
      const std::string id = control.substr(control.find(R"("id": ")") + 7, 1);
      arguments += ", " + std::string(id == "c" ? (angle ? "float" : "int") : "float") + " " + id;
      metadata += (&control == &controls.front() ? "" : ", ") + control;
    }
    // Broken: a stray '!' in the kernel's arguments.
    return lumaro::test::StandardEntries(Kernel("k", arguments + (broken ? "!" : ""),
                                                std::string("a, b, ") + (angle ? "c / 360.0f" : "(float)c") + ", 1"),
                                         metadata + "]}", "");
  }
  // Saved the way the desktop application may: in place, or as another file
  // renamed over it. Looked at again once the watch's interval has passed.
  void Save(const std::string& bytes, bool inPlace = true) {
    const auto target = inPlace ? package_ : folder_ / "saving.tmp";
    lumaro::test::WriteFile(target, bytes);
    if (!inPlace) std::filesystem::rename(target, package_);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  // Red, green and blue of the frame.
  std::vector<int> Frame() {
    const auto pixels = Rendered();
    return {pixels.at(2), pixels.at(1), pixels.at(0)};
  }
  // Version 1 browsed to, then a = 0.6, b = 0.4 and c on: the frame {153, 102, 255}.
  void ChooseVersionOneWithValues() {
    Save(v1_);
    ASSERT_EQ(Browse(package_), PF_Err_NONE);
    host_->Params().SetFloatSliderValue(ControlParam(0, eControl::Slider), 0.6);
    host_->Params().SetFloatSliderValue(ControlParam(1, eControl::Slider), 0.4);
    host_->Params().SetCheckboxValue(ControlParam(2, eControl::Checkbox), true);
  }

  lumaro::test::LogCapture log_;
  std::filesystem::path package_ = folder_ / "Look.lumaro-effect";
  const std::string v1_ = Version({kA, kB, kCheck});
  const std::string v2_ = Version({kB, kA, kAngle}, true);
};

TEST_F(ReloadTest, ANewVersionOnDiskIsTakenWithEachControlsOwnValue) {
  ChooseVersionOneWithValues();
  EXPECT_EQ(Frame(), (std::vector<int>{153, 102, 255}));

  // Version 2 swaps the sliders and turns the checkbox into an angle: until
  // the next user action the host keeps the values where they were.
  Save(v2_, false);
  EXPECT_EQ(Frame(), (std::vector<int>{153, 102, 64})) << "the angle starts fresh at 90 degrees";
  ASSERT_EQ(host_->UpdateParamsUI(sequence_), PF_Err_NONE);
  const auto angle = ControlParam(2, eControl::Angle);
  EXPECT_EQ(Visible(),
            (std::vector<PF_ParamIndex>{ControlParam(0, eControl::Slider), ControlParam(1, eControl::Slider), angle}));
  EXPECT_EQ(std::string(host_->Params().At(kFirstSlider).name), "A") << "still where its value is";
  EXPECT_TRUE(host_->Params().At(angle).ui_flags & PF_PUI_DISABLED) << "no value of its own yet";
  EXPECT_TRUE(Boxes().empty());

  // The next user action writes the values where version 2 keeps them.
  ASSERT_EQ(PressSync(), PF_Err_NONE);
  EXPECT_FLOAT_EQ(host_->Params().At(ControlParam(0, eControl::Slider)).u.fs_d.value, 0.4);
  EXPECT_FLOAT_EQ(host_->Params().At(ControlParam(1, eControl::Slider)).u.fs_d.value, 0.6);
  EXPECT_FALSE(host_->Params().At(angle).ui_flags & PF_PUI_DISABLED);
  EXPECT_EQ(Frame(), (std::vector<int>{153, 102, 64}));

  // Saved in place, back to version 1: the angle's place holds a checkbox again.
  Save(v1_);
  EXPECT_EQ(Frame(), (std::vector<int>{153, 102, 0}));
  EXPECT_EQ(log_.Count("Reloaded 'Look' from " + core::PathToNarrow(package_)), 2);
}

TEST_F(ReloadTest, BrokenSavesKeepTheLastGoodEffectUntilAGoodOneComes) {
  Save(v1_);
  ASSERT_EQ(Browse(package_), PF_Err_NONE);
  host_->Params().SetFloatSliderValue(kFirstSlider, 0.6);
  const auto good = Frame();
  const std::string broken = Version({kA, kB, kCheck}, false, true);
  for (const auto& save : {v1_.substr(0, v1_.size() / 2), broken, std::string()}) {
    if (save.empty()) {
      std::filesystem::remove(package_);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    } else {
      Save(save);
    }
    EXPECT_EQ(Frame(), good);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Frame(), good) << "and not read again until it changes";
  }
  Save(v2_);
  EXPECT_EQ(Frame(), (std::vector<int>{153, 51, 64}));
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(log_.Count("Kept 'Look': "), 3) << "once per broken save";
}

// A project reopened while its package was being written recovers once the
// file is whole, with the clip's values.
TEST_F(ReloadTest, APackageHalfWrittenWhenFirstReadRecoversOnceWhole) {
  Save(v1_.substr(0, v1_.size() - 30));
  host_->Params().WriteArbitraryText(Layout::EffectPath, core::PathToUtf8(package_));
  host_->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
  host_->Params().SetFloatSliderValue(kFirstSlider, 0.6);
  host_->Params().SetFloatSliderValue(ControlParam(1, eControl::Slider), 0.4);
  ASSERT_EQ(host_->UpdateParamsUI(sequence_), PF_Err_NONE);
  EXPECT_EQ(Frame(), (std::vector<int>{0, 0, 0})) << "the blank input, passed through";
  Save(v1_);
  EXPECT_EQ(Frame(), (std::vector<int>{153, 102, 0}));
}

// A project keeps its package and where each value is: reopened after the
// package changed, each control gets its own value; reopened without the
// file, it renders from its copy and says so, takes the file again as soon as
// it is back, and offers the copy back as a file when the effect is chosen.
TEST_F(ReloadTest, TheProjectKeepsItsPackageAndWhereEachValueIs) {
  ChooseVersionOneWithValues();
  const std::vector<int> original{153, 102, 255};
  const auto reopen = [&] {
    ASSERT_EQ(host_->SequenceSetdown(sequence_), PF_Err_NONE);
    ASSERT_EQ(host_->SequenceSetup(sequence_), PF_Err_NONE);
    ASSERT_EQ(host_->UpdateParamsUI(sequence_), PF_Err_NONE);
  };
  const auto popup = [&] { return host_->Params().Text(Layout::EffectPopup); };

  Save(v2_);
  reopen();
  EXPECT_EQ(Frame(), (std::vector<int>{153, 102, 64})) << "the sliders swapped places, the angle is new";
  std::filesystem::remove(package_);
  reopen();
  EXPECT_EQ(Frame(), original);
  EXPECT_EQ(popup(), "None|Browse...|(-|Look (kept in project)");
  EXPECT_EQ(Visible().size(), 3u);
  Save(v2_);
  EXPECT_EQ(Frame(), (std::vector<int>{153, 102, 64})) << "the file, back, is the newer edit";
  ASSERT_EQ(host_->UpdateParamsUI(sequence_), PF_Err_NONE);
  EXPECT_EQ(popup(), "None|Browse...|(-|Look");

  std::filesystem::remove(package_);
  reopen();
  const auto back = folder_ / "Back.lumaro-effect";
  user_->fileDialogAnswers = {back};
  ASSERT_EQ(Choose(Layout::PopupEffect), PF_Err_NONE);
  ASSERT_EQ(user_->fileDialogs.size(), 2u);
  EXPECT_EQ(user_->fileDialogs[1].title, "Save Look");
  EXPECT_EQ(lumaro::test::ReadFile(back), v1_);
  EXPECT_EQ(StoredPath(), core::PathToUtf8(back));
  EXPECT_EQ(popup(), "None|Browse...|(-|Back");
  EXPECT_EQ(Frame(), original);
  EXPECT_TRUE(Boxes().empty());
}

// A copy the project keeps that does not load (metadata of a later version,
// say) is refused like a file would be; the stored path stays for the file.
TEST_F(ReloadTest, AKeptCopyThatDoesNotLoadLeavesThePathForItsFile) {
  const auto copy =
      std::make_shared<const std::string>(lumaro::test::PackageBytes(lumaro::test::StandardEntries(v1_, "{", "")));
  const auto trailer = EffectPathValue::MakeTrailer({copy, {}});
  ASSERT_TRUE(trailer);
  std::string value = core::PathToUtf8(package_);
  value.resize(Layout::EffectPathSize, '\0');
  value += *trailer;
  auto& handle = host_->Params().At(Layout::EffectPath).u.arb_d.value;
  ASSERT_EQ(host::HandleStore::Instance().Resize(static_cast<A_HandleSize>(value.size()), &handle), PF_Err_NONE);
  ASSERT_TRUE(host::HandleStore::Instance().Write(handle, value.data(), value.size()));
  user_->fileDialogAnswers = {std::nullopt};
  ASSERT_EQ(Choose(Layout::PopupEffect), PF_Err_NONE);
  EXPECT_EQ(StoredPath(), core::PathToUtf8(package_));
  EXPECT_EQ(Boxes(), std::vector<MessageBox>{kLoadFailed});
}

TEST_F(ReloadTest, APackageOverTheLimitIsNotCopiedIntoTheProject) {
  Save(Version({kA}));
  ASSERT_EQ(Browse(package_), PF_Err_NONE);
  EXPECT_GT(host_->Params().ArbitraryBytes(Layout::EffectPath).size(), 2048u);
  const auto small = Frame();
  auto entries = VersionEntries({kA});
  entries[2] = {"prompt.txt", std::string((1u << 20) + 1, 'p'), false};
  const auto large = folder_ / "Large.lumaro-effect";
  lumaro::test::WritePackage(large, entries);
  ASSERT_EQ(Browse(large), PF_Err_NONE);
  EXPECT_EQ(host_->Params().ArbitraryBytes(Layout::EffectPath).size(), 2048u);
  EXPECT_EQ(log_.Count("larger than 1 MiB; the project keeps only its path"), 1);
  EXPECT_EQ(Frame(), small) << "it renders all the same";
}

TEST_F(SyncActionTest, AReceivedFileThatDoesNotLoadIsReported) {
  ASSERT_EQ(Browse(Example("WarmGlow")), PF_Err_NONE);
  Share(UnloadablePackage(), "Broken");
  user_->messageBoxAnswers = {eMessageBoxResult::Yes};
  user_->fileDialogAnswers = {folder_ / "Received.lumaro-effect"};
  ASSERT_EQ(PressSync(), PF_Err_NONE);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1], (MessageBox{eMessageBoxType::Error, "Unable to load shared effect", "Invalid Lumaro Effect"}));
  ExpectNoEffect("", Layout::PopupNone);
}

} // namespace
} // namespace brantok::lumaro::ae

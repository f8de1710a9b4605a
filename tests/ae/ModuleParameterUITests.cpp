#include "ModuleFixture.h"

#include <cstring>

namespace brantok::lumaro::ae::test {
namespace {

using host::EffectHost;

class ModuleParameterUITest : public ModuleFixture {};

std::string Name(const PF_ParamDef& def) { return std::string(def.name, strnlen(def.name, sizeof(def.name))); }

std::string SliderMetadata(int count) {
  std::string controls;
  for (int i = 0; i < count; ++i) {
    if (i) controls += ",";
    controls += R"({"class": "slider", "id": "s)" + std::to_string(i) + R"(", "label": "S)" + std::to_string(i) +
                R"(", "min": 0, "max": 50, "default": )" + std::to_string(i) + "}";
  }
  return R"({"title": "Many", "kernel": "many", "controls": [)" + controls + "]}";
}

std::string SliderKernel(int count, const std::string& body) {
  std::string arguments;
  for (int i = 0; i < count; ++i) arguments += ", float s" + std::to_string(i);
  return "__kernel void many(__read_only image2d_t input, __write_only image2d_t output, float time, int frame, "
         "float duration" +
         arguments + ") {\n" + body + "\n}\n";
}

TEST_F(ModuleParameterUITest, AReopenedProjectShowsTheEffectsLabelsAndRangesBeforeAnyUserAction) {
  // Only what a host sends unasked when it opens a project: set-ups, the
  // stored record back, the stored values (the path, the popup at the effect)
  // and the panel refresh the strict host sends because the plug-in asked.
  for (const auto app : {host::eHostApp::PremierePro, host::eHostApp::AfterEffects}) {
    SCOPED_TRACE(app == host::eHostApp::PremierePro ? "Premiere Pro" : "After Effects");
    auto host = MakeHost(app);
    ASSERT_EQ(host->SequenceResetup(sequence_), PF_Err_NONE);
    ChooseEffect(*host, Example("WarmGlow"));
    auto& params = host->Params();
    EXPECT_EQ(params.Text(Layout::EffectPopup), "None|Browse...|(-|WarmGlow");
    EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{kWarmGlowAmount, kWarmGlowTint}));

    const auto& amount = params.At(kWarmGlowAmount);
    EXPECT_EQ(Name(amount), "Amount");
    EXPECT_EQ(amount.u.fs_d.valid_min, 0.0f);
    EXPECT_EQ(amount.u.fs_d.valid_max, 1.0f);
    EXPECT_EQ(amount.u.fs_d.slider_min, 0.0f);
    EXPECT_EQ(amount.u.fs_d.slider_max, 1.0f);
    EXPECT_EQ(amount.u.fs_d.dephault, 0.5f);
    EXPECT_EQ(amount.u.fs_d.precision, 2); // a range below 10
    EXPECT_EQ(amount.ui_flags & PF_PUI_DISABLED, 0);
    EXPECT_EQ(amount.u.fs_d.value, 0.0) << "refreshing the panel sets no value";

    const auto& tint = params.At(kWarmGlowTint);
    EXPECT_EQ(Name(tint), "Tint");
    EXPECT_EQ(tint.u.cd.dephault.red, 255);
    EXPECT_EQ(tint.u.cd.dephault.green, 255);
    EXPECT_EQ(tint.u.cd.dephault.blue, 255);
    EXPECT_TRUE(host->Params().ChangedValues().empty());

    // A second refresh finds the effect loaded for the sequence and shows the same.
    EXPECT_EQ(host->UpdateParamsUI(sequence_), PF_Err_NONE);
    EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{kWarmGlowAmount, kWarmGlowTint}));
    EXPECT_EQ(host->UnsentCommands(), 0);
    TearDownHost(*host);
  }
}

TEST_F(ModuleParameterUITest, AChoiceShowsItsOptionsAndWideRangesKeepOneDecimal) {
  auto host = MakeHost();
  ChooseEffect(*host, Example("ToneChoice"));
  auto& params = host->Params();
  EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{kToneChoiceTone, kToneChoiceLevels}));
  EXPECT_EQ(Name(params.At(kToneChoiceTone)), "Tone");
  EXPECT_EQ(params.Text(kToneChoiceTone), "Sepia|Monochrome|Invert");
  EXPECT_EQ(params.At(kToneChoiceTone).u.pd.num_choices, 3);
  EXPECT_EQ(params.At(kToneChoiceTone).u.pd.dephault, 1);
  EXPECT_EQ(Name(params.At(kToneChoiceLevels)), "Levels");
  EXPECT_EQ(params.At(kToneChoiceLevels).u.fs_d.slider_min, 2.0f);
  EXPECT_EQ(params.At(kToneChoiceLevels).u.fs_d.slider_max, 32.0f);
  EXPECT_EQ(params.At(kToneChoiceLevels).u.fs_d.precision, 1);
  TearDownHost(*host);
}

TEST_F(ModuleParameterUITest, AFailedBuildShowsItsControlsDisabled) {
  const auto package = WritePackage("Broken", SliderKernel(1, "this is not OpenCL"), SliderMetadata(1));
  auto host = MakeHost();
  ChooseEffect(*host, package);
  EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{kFirstSlider}));
  EXPECT_TRUE(host->Params().At(kFirstSlider).ui_flags & PF_PUI_DISABLED);
  TearDownHost(*host);
}

TEST_F(ModuleParameterUITest, NoneOrNoLoadableEffectHidesEveryControl) {
  auto host = MakeHost();
  ChooseEffect(*host, Example("WarmGlow"));
  ASSERT_FALSE(VisibleControlParams(*host).empty());
  host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupNone);
  EXPECT_EQ(host->UpdateParamsUI(sequence_), PF_Err_NONE);
  EXPECT_TRUE(VisibleControlParams(*host).empty());
  EXPECT_EQ(host->Params().Text(Layout::EffectPopup), "None|Browse...|(-|WarmGlow")
      << "the stored path still names the effect";
  TearDownHost(*host);

  for (const auto& missing : {folder_ / "Missing.lumaro-effect", std::filesystem::path()}) {
    auto other = MakeHost();
    ChooseEffect(*other, missing);
    EXPECT_TRUE(VisibleControlParams(*other).empty()) << missing;
    TearDownHost(*other);
  }

  auto notAZip = MakeHost();
  const auto path = folder_ / "Text.lumaro-effect";
  lumaro::test::WriteFile(path, "not a zip archive");
  ChooseEffect(*notAZip, path);
  EXPECT_TRUE(VisibleControlParams(*notAZip).empty());
  TearDownHost(*notAZip);
}

TEST_F(ModuleParameterUITest, ControlsBeyondTheSixteenthAreNotShown) {
  const auto package =
      WritePackage("Many", SliderKernel(17, "write_imagef(output, (int2)(0, 0), (float4)(s16));"), SliderMetadata(17));
  auto host = MakeHost();
  ChooseEffect(*host, package);
  std::vector<PF_ParamIndex> expected;
  for (A_long slot = 0; slot < Layout::ControlSlots; ++slot) expected.push_back(ControlParam(slot, eControl::Slider));
  EXPECT_EQ(VisibleControlParams(*host), expected);
  for (const auto& update : host->UIUpdates()) EXPECT_LE(update.index, Layout::LastControlParam);
  TearDownHost(*host);
}

} // namespace
} // namespace brantok::lumaro::ae::test

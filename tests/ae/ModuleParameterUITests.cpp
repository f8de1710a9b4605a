#include "ModuleFixture.h"

namespace brantok::lumaro::ae::test {
namespace {

using host::EffectHost;

class ModuleParameterUITest : public ModuleFixture {};

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

} // namespace
} // namespace brantok::lumaro::ae::test

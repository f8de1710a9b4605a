#include "HandleStore.h"
#include "ModuleFixture.h"

#include <array>

namespace brantok::lumaro::ae::test {
namespace {

using host::EffectHost;
using host::eHostApp;
using host::HandleStore;

class ModuleSetupTest : public ModuleFixture {};

TEST_F(ModuleSetupTest, GlobalSetupDeclaresThePremiereFormats) {
  EffectHost host(entry_);
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  // The version and flags are the PiPL's, pinned by the PiPL tests.
  EXPECT_EQ(host.SupportedPixelFormats(),
            (std::vector<PrPixelFormat>{PrPixelFormat_BGRA_4444_8u, PrPixelFormat_BGRA_4444_32f}));
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.OutstandingSuites(), 0);

  EffectHost afterEffects(entry_, eHostApp::AfterEffects);
  ASSERT_EQ(afterEffects.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(afterEffects.SuiteAcquisitions("PF Pixel Format Suite"), 0);
  EXPECT_TRUE(afterEffects.SupportedPixelFormats().empty());
  EXPECT_EQ(afterEffects.GlobalSetdown(), PF_Err_NONE);
}

TEST_F(ModuleSetupTest, ParamsSetupDeclaresTheFixedLayout) {
  auto host = MakeHost();
  auto& params = host->Params();
  EXPECT_EQ(host->DeclaredParamCount(), 102) << "the input layer counts";
  ASSERT_EQ(params.Count(), 102u);

  struct Fixed {
    PF_ParamIndex index;
    PF_ParamType type;
    std::string name, text;
    PF_ParamFlags flags;
    PF_ParamUIFlags uiFlags;
  };
  for (const auto& [index, type, name, text, flags, uiFlags] : std::vector<Fixed>{
           {Layout::VersionButton, PF_Param_BUTTON, "Version: 1.0.0", "Check for updates...", PF_ParamFlag_SUPERVISE,
            0},
           {Layout::SyncButton, PF_Param_BUTTON, "", "Sync From Lumaro", PF_ParamFlag_SUPERVISE, 0},
           {Layout::EffectPopup, PF_Param_POPUP, "Effect", "None|Browse...||",
            PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY, 0},
           {Layout::EffectPath, PF_Param_ARBITRARY_DATA, "Effect Path", "", PF_ParamFlag_CANNOT_TIME_VARY,
            PF_PUI_NO_ECW_UI},
           {Layout::Information, PF_Param_BUTTON, "Information", "OK", PF_ParamFlag_SUPERVISE, PF_PUI_INVISIBLE}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(params.At(index).param_type, type);
    EXPECT_EQ(Name(params.At(index)), name);
    if (!text.empty()) {
      EXPECT_EQ(params.Text(index), text);
    }
    EXPECT_EQ(params.At(index).flags, flags);
    EXPECT_EQ(params.At(index).ui_flags, uiFlags);
  }
  const auto& popup = params.At(Layout::EffectPopup);
  EXPECT_EQ(popup.u.pd.num_choices, 4);
  EXPECT_EQ(popup.u.pd.value, 1);
  EXPECT_EQ(popup.u.pd.dephault, 1);

  const auto& path = params.At(Layout::EffectPath);
  EXPECT_EQ(path.u.arb_d.id, Layout::EffectPath);
  ASSERT_NE(path.u.arb_d.dephault, nullptr);
  EXPECT_EQ(HandleStore::Instance().Bytes(path.u.arb_d.dephault), std::vector<std::uint8_t>(Layout::EffectPathSize, 0));

  const PF_ParamType types[] = {PF_Param_COLOR, PF_Param_FLOAT_SLIDER, PF_Param_POPUP,
                                PF_Param_ANGLE, PF_Param_CHECKBOX,     PF_Param_POINT};
  for (PF_ParamIndex index = Layout::FirstControlParam; index <= Layout::LastControlParam; ++index) {
    const auto& def = params.At(index);
    const auto kind = static_cast<eControl>((index - Layout::FirstControlParam) % Layout::KindsPerSlot);
    EXPECT_EQ(Name(def), "Control " + std::to_string(index - Layout::FirstControlParam + 1)) << index;
    EXPECT_EQ(def.param_type, types[static_cast<int>(kind)]) << index;
    EXPECT_EQ(params.Id(index), index);
    EXPECT_EQ(def.ui_flags, kind == eControl::Slider ? 0 : PF_PUI_INVISIBLE) << index;
    const bool constant = kind == eControl::Choice || kind == eControl::Checkbox;
    EXPECT_EQ(def.flags, constant ? PF_ParamFlag_CANNOT_TIME_VARY : 0) << index;
  }

  const auto& colour = params.At(ControlParam(0, eControl::ColorPicker)).u.cd;
  EXPECT_EQ(colour.value.alpha, 255);
  EXPECT_EQ(colour.value.red + colour.value.green + colour.value.blue, 0);
  EXPECT_EQ(colour.dephault.alpha, 255);
  const auto& slider = params.At(kFirstSlider).u.fs_d;
  EXPECT_EQ((std::array{slider.valid_min, slider.valid_max, slider.slider_min, slider.slider_max, slider.dephault}),
            (std::array{0.0f, 100.0f, 0.0f, 100.0f, 0.0f}));
  EXPECT_EQ(slider.value, 0.0);
  EXPECT_EQ(slider.precision, 1);
  EXPECT_EQ(params.Text(ControlParam(0, eControl::Choice)),
            "option 1|option 2|option 3|option 4|option 5|option 6|option 7|option 8|option 9|option 10|"
            "option 11|option 12|option 13|option 14|option 15|option 16");
  EXPECT_EQ(params.At(ControlParam(0, eControl::Choice)).u.pd.num_choices, 16);
  EXPECT_EQ(params.At(ControlParam(0, eControl::Choice)).u.pd.value, 1);
  EXPECT_EQ(params.At(ControlParam(0, eControl::Angle)).u.ad.value, 0);
  EXPECT_EQ(params.At(ControlParam(0, eControl::Checkbox)).u.bd.value, 0);
  EXPECT_EQ(params.Text(ControlParam(0, eControl::Checkbox)), "");
  EXPECT_EQ(params.At(ControlParam(0, eControl::Point)).u.td.x_dephault, 0x320000);
  EXPECT_EQ(params.At(ControlParam(0, eControl::Point)).u.td.y_dephault, 0x320000);
  EXPECT_EQ(params.At(ControlParam(0, eControl::Point)).u.td.restrict_bounds, 0);
}

TEST_F(ModuleSetupTest, AHostErrorStopsParamsSetupWithThatError) {
  EffectHost host(entry_);
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  host.Faults().addParam.Arm(10);
  host.Faults().addParamError = PF_Err_OUT_OF_MEMORY;
  EXPECT_EQ(host.ParamsSetup(), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host.DeclaredParamCount(), 11);
  EXPECT_EQ(host.Params().Count(), 11u);
  host.Faults().addParam.Disarm();
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
}

TEST_F(ModuleSetupTest, SequenceRecordIsThirtyTwoBytesOfVersionAndZeroId) {
  auto host = MakeHost();
  const auto bytes = HandleStore::Instance().Bytes(host->SequenceData(sequence_));
  std::vector<std::uint8_t> expected(32, 0);
  expected[0] = 1;  // major 1, little-endian
  expected[12] = 1; // the version text parsed in full
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(host->SequenceResetup(sequence_), PF_Err_NONE);
}

TEST_F(ModuleSetupTest, AboutNamesTheProductAndItsVersion) {
  auto host = MakeHost();
  EXPECT_EQ(host->About(), PF_Err_NONE);
  EXPECT_EQ(host->LastReturnMessage(),
            "BRANTOK Lumaro Adobe Plugin v1.0.0\rAdobe Premiere plugin component for BRANTOK Lumaro");
}

// The fault walk accepts success from a command whose suite is missing, as
// long as nothing breaks; these commands need theirs and must say so.
TEST_F(ModuleSetupTest, MissingSuitesReturnTheErrorWithTheMessage) {
  for (const auto& [command, suite] :
       std::vector<std::pair<PF_Cmd, const char*>>{{PF_Cmd_ABOUT, "PF ANSI Suite"},
                                                   {PF_Cmd_PARAMS_SETUP, "PF Handle Suite"},
                                                   {PF_Cmd_UPDATE_PARAMS_UI, "PF Param Utils Suite"},
                                                   {PF_Cmd_GLOBAL_SETUP, "PF Pixel Format Suite"}}) {
    SCOPED_TRACE(suite);
    EffectHost host(entry_);
    if (command != PF_Cmd_GLOBAL_SETUP) {
      ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
      if (command != PF_Cmd_PARAMS_SETUP) {
        ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
      }
    }
    host.SequenceSetup(sequence_);
    host.Faults().missingSuites.insert(suite);
    host::CommandOptions options;
    options.sequence = sequence_;
    EXPECT_EQ(host.Send(command, options), A_Err_MISSING_SUITE);
    EXPECT_EQ(host.LastReturnMessage(), "Not able to acquire AEFX Suite.");
    EXPECT_TRUE(host.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    if (command == PF_Cmd_GLOBAL_SETUP) {
      EXPECT_EQ(host.LastOutData().global_data, nullptr);
    }
    host.Faults().missingSuites.clear();
    if (host.SequenceData(sequence_)) host.SequenceSetdown(sequence_);
    EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
    EXPECT_EQ(host.OutstandingSuites(), 0);
  }
}

TEST_F(ModuleSetupTest, SetupWithoutHandleMemoryFailsCleanly) {
  EffectHost host(entry_);
  host.Faults().newHandle.Arm();
  EXPECT_EQ(host.GlobalSetup(), PF_Err_OUT_OF_MEMORY);
  host.Faults().newHandle.Disarm();
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  host.Faults().newHandle.Arm();
  EXPECT_EQ(host.SequenceSetup(sequence_), PF_Err_INTERNAL_STRUCT_DAMAGED);
  host.Faults().newHandle.Disarm();
  host.Faults().lockHandle.Arm();
  EXPECT_EQ(host.SequenceSetup(sequence_), PF_Err_INTERNAL_STRUCT_DAMAGED);
  host.Faults().lockHandle.Disarm();
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
}

} // namespace
} // namespace brantok::lumaro::ae::test

#include "HandleStore.h"
#include "ModuleFixture.h"
#include "TestEnvironment.h"

#include <cstring>
#include <fstream>

namespace brantok::lumaro::ae::test {
namespace {

using host::EffectHost;
using host::eHostApp;
using host::HandleStore;

class ModuleSetupTest : public ModuleFixture {};

std::string Name(const PF_ParamDef& def) { return std::string(def.name, strnlen(def.name, sizeof(def.name))); }

TEST_F(ModuleSetupTest, GlobalSetupDeclaresTheVersionAndThePremiereFormats) {
  EffectHost host(entry_);
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  const auto out = host.LastOutData();
  EXPECT_EQ(out.my_version, PF_VERSION(1, 0, 0, PF_Stage_RELEASE, 1));
  EXPECT_EQ(out.out_flags, PF_OutFlag_SEND_UPDATE_PARAMS_UI) << "without it the host never refreshes the panel";
  EXPECT_EQ(out.out_flags2, 0);
  EXPECT_NE(host.GlobalData(), nullptr);
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

  const auto& version = params.At(1);
  EXPECT_EQ(version.param_type, PF_Param_BUTTON);
  EXPECT_EQ(Name(version), "Version: 1.0.0");
  EXPECT_EQ(params.Text(1), "Check for updates...");
  EXPECT_EQ(version.flags, PF_ParamFlag_SUPERVISE);
  EXPECT_EQ(version.ui_flags, 0);

  EXPECT_EQ(params.At(2).param_type, PF_Param_BUTTON);
  EXPECT_EQ(Name(params.At(2)), "");
  EXPECT_EQ(params.Text(2), "Sync From Lumaro");

  const auto& popup = params.At(3);
  EXPECT_EQ(popup.param_type, PF_Param_POPUP);
  EXPECT_EQ(Name(popup), "Effect");
  EXPECT_EQ(params.Text(3), "None|Browse...||");
  EXPECT_EQ(popup.u.pd.num_choices, 4);
  EXPECT_EQ(popup.u.pd.value, 1);
  EXPECT_EQ(popup.u.pd.dephault, 1);
  EXPECT_EQ(popup.flags, PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY);

  const auto& path = params.At(4);
  EXPECT_EQ(path.param_type, PF_Param_ARBITRARY_DATA);
  EXPECT_EQ(Name(path), "Effect Path");
  EXPECT_EQ(path.flags, PF_ParamFlag_CANNOT_TIME_VARY);
  EXPECT_EQ(path.ui_flags, PF_PUI_NO_ECW_UI);
  EXPECT_EQ(path.u.arb_d.id, 4);
  ASSERT_NE(path.u.arb_d.dephault, nullptr);
  EXPECT_EQ(HandleStore::Instance().Bytes(path.u.arb_d.dephault), std::vector<std::uint8_t>(2048, 0));

  EXPECT_EQ(params.At(5).param_type, PF_Param_BUTTON);
  EXPECT_EQ(Name(params.At(5)), "Information");
  EXPECT_EQ(params.Text(5), "OK");
  EXPECT_EQ(params.At(5).ui_flags, PF_PUI_INVISIBLE);

  const PF_ParamType types[] = {PF_Param_COLOR, PF_Param_FLOAT_SLIDER, PF_Param_POPUP,
                                PF_Param_ANGLE, PF_Param_CHECKBOX,     PF_Param_POINT};
  for (PF_ParamIndex index = 6; index <= 101; ++index) {
    const auto& def = params.At(index);
    const int kind = (index - 6) % 6;
    EXPECT_EQ(Name(def), "Control " + std::to_string(index - 5)) << index;
    EXPECT_EQ(def.param_type, types[kind]) << index;
    EXPECT_EQ(params.Id(index), index);
    EXPECT_EQ(def.ui_flags, kind == 1 ? 0 : PF_PUI_INVISIBLE) << index;
    EXPECT_EQ(def.flags, (kind == 2 || kind == 4) ? PF_ParamFlag_CANNOT_TIME_VARY : 0) << index;
  }
  EXPECT_EQ(Name(params.At(13)), "Control 8");
  EXPECT_EQ(params.At(13).param_type, PF_Param_FLOAT_SLIDER);
  EXPECT_EQ(Name(params.At(101)), "Control 96");
  EXPECT_EQ(params.At(101).param_type, PF_Param_POINT);

  const auto& colour = params.At(6).u.cd;
  EXPECT_EQ(colour.value.alpha, 255);
  EXPECT_EQ(colour.value.red + colour.value.green + colour.value.blue, 0);
  EXPECT_EQ(colour.dephault.alpha, 255);
  const auto& slider = params.At(7).u.fs_d;
  EXPECT_EQ(slider.valid_min, 0.0f);
  EXPECT_EQ(slider.valid_max, 100.0f);
  EXPECT_EQ(slider.slider_min, 0.0f);
  EXPECT_EQ(slider.slider_max, 100.0f);
  EXPECT_EQ(slider.value, 0.0);
  EXPECT_EQ(slider.dephault, 0.0f);
  EXPECT_EQ(slider.precision, 1);
  EXPECT_EQ(params.Text(8),
            "option 1|option 2|option 3|option 4|option 5|option 6|option 7|option 8|option 9|option 10|"
            "option 11|option 12|option 13|option 14|option 15|option 16");
  EXPECT_EQ(params.At(8).u.pd.num_choices, 16);
  EXPECT_EQ(params.At(8).u.pd.value, 1);
  EXPECT_EQ(params.At(9).u.ad.value, 0);
  EXPECT_EQ(params.At(10).u.bd.value, 0);
  EXPECT_EQ(params.Text(10), "");
  EXPECT_EQ(params.At(11).u.td.x_dephault, 0x320000);
  EXPECT_EQ(params.At(11).u.td.y_dephault, 0x320000);
  EXPECT_EQ(params.At(11).u.td.restrict_bounds, 0);
  TearDownHost(*host);
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
  TearDownHost(*host);
}

TEST_F(ModuleSetupTest, AboutNamesTheProductAndItsVersion) {
  auto host = MakeHost();
  EXPECT_EQ(host->About(), PF_Err_NONE);
  EXPECT_EQ(host->LastReturnMessage(),
            "BRANTOK Lumaro Adobe Plugin v1.0.0\rAdobe Premiere plugin component for BRANTOK Lumaro");
  TearDownHost(*host);
}

TEST_F(ModuleSetupTest, MissingSuitesReturnTheErrorWithTheMessage) {
  struct Case {
    PF_Cmd command;
    const char* suite;
  };
  for (const auto& [command, suite] :
       {Case{PF_Cmd_ABOUT, "PF ANSI Suite"}, Case{PF_Cmd_PARAMS_SETUP, "PF Handle Suite"},
        Case{PF_Cmd_UPDATE_PARAMS_UI, "PF Param Utils Suite"}, Case{PF_Cmd_GLOBAL_SETUP, "PF Pixel Format Suite"}}) {
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

std::optional<std::filesystem::path> NewestLogFile() {
  const auto appData = lumaro::test::PlatformLocalAppData();
  if (!appData) return std::nullopt;
  const auto folder = *appData / "BRANTOKSTUDIO" / "BRANTOK Lumaro Adobe Plugin" / "Logs";
  std::optional<std::filesystem::path> newest;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const auto name = it->path().filename().string();
    if (!name.starts_with("LumaroEffect_")) continue;
    if (!newest || std::filesystem::last_write_time(it->path()) >= std::filesystem::last_write_time(*newest)) {
      newest = it->path();
    }
  }
  return newest;
}

TEST_F(ModuleSetupTest, CommandsItDoesNotHandleReturnAtOnceAndLogNothing) {
  auto host = MakeHost();
  const auto log = NewestLogFile();
  ASSERT_TRUE(log);
  const auto sizeBefore = std::filesystem::file_size(*log);
  const auto liveBefore = HandleStore::Instance().LiveCount();
  for (const PF_Cmd command : {2, 7, 9, 10, 12, 15, 16, 17, 18, 19, 20, 21, 23, 24, 31, 33, 34, 40, -1}) {
    host::CommandOptions options;
    options.sequence = sequence_;
    EXPECT_EQ(host->Send(command, options), PF_Err_NONE) << command;
  }
  EXPECT_EQ(std::filesystem::file_size(*log), sizeBefore);
  EXPECT_EQ(HandleStore::Instance().LiveCount(), liveBefore);
  EXPECT_EQ(host->OutstandingSuites(), 0);
  TearDownHost(*host);
}

TEST_F(ModuleSetupTest, CommandsWithoutAnInstanceFailWithoutTouchingNull) {
  EffectHost host(entry_);
  for (const PF_Cmd command :
       {PF_Cmd_ABOUT, PF_Cmd_PARAMS_SETUP, PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP, PF_Cmd_SEQUENCE_SETDOWN,
        PF_Cmd_RENDER, PF_Cmd_USER_CHANGED_PARAM, PF_Cmd_UPDATE_PARAMS_UI, PF_Cmd_ARBITRARY_CALLBACK}) {
    EXPECT_EQ(host.Send(command), PF_Err_INTERNAL_STRUCT_DAMAGED) << command;
    host::CommandOptions nullData;
    nullData.nullInData = true;
    nullData.nullOutData = true;
    EXPECT_NE(host.Send(command, nullData), PF_Err_NONE) << command;
  }
  // Set-down before set-up has nothing to destroy.
  EXPECT_EQ(host.Send(PF_Cmd_GLOBAL_SETDOWN), PF_Err_NONE);
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host.Send(PF_Cmd_ABOUT), PF_Err_INTERNAL_STRUCT_DAMAGED);
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

#include "EffectHost.h"
#include "FakeEffect.h"
#include "HostCallbacks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace brantok::lumaro::host {
namespace {

using test::FakeEffect;

PF_ParamDef FloatSlider(const char* name) {
  PF_ParamDef def{};
  def.param_type = PF_Param_FLOAT_SLIDER;
  std::strncpy(def.name, name, sizeof def.name - 1);
  def.u.fs_d.slider_max = 100;
  def.u.fs_d.valid_max = 100;
  return def;
}

template <typename Suite>
const Suite* Acquire(PF_InData* in, const char* name, std::int32_t version, SPErr* error = nullptr) {
  const void* suite = nullptr;
  const SPErr result = in->pica_basicP->AcquireSuite(name, version, &suite);
  if (error) *error = result;
  return static_cast<const Suite*>(suite);
}

TEST(EffectHostTest, ParamsSetupFailsWhenTheCountLeavesOutTheInputLayerOrAnyParameter) {
  struct Case {
    int added;
    A_long declared;
    PF_Err returned; // by the plug-in
    PF_Err expected;
    std::string why;
  };
  const std::vector<Case> cases{
      {2, 3, PF_Err_NONE, PF_Err_NONE, ""},
      {0, 1, PF_Err_NONE, PF_Err_NONE, ""},
      {2, 2, PF_Err_NONE, PF_Err_INTERNAL_STRUCT_DAMAGED,
       "PARAMS_SETUP: out_data->num_params is 2, but the plug-in added 2 parameters, 3 with the input layer"},
      {2, 4, PF_Err_NONE, PF_Err_INTERNAL_STRUCT_DAMAGED,
       "PARAMS_SETUP: out_data->num_params is 4, but the plug-in added 2 parameters, 3 with the input layer"},
      {0, 0, PF_Err_NONE, PF_Err_INTERNAL_STRUCT_DAMAGED,
       "PARAMS_SETUP: out_data->num_params is 0, but the plug-in added 0 parameters, 1 with the input layer"},
      // The plug-in's own error stands.
      {2, 2, PF_Err_OUT_OF_MEMORY, PF_Err_OUT_OF_MEMORY, ""},
  };
  for (const auto& [added, declared, returned, expected, why] : cases) {
    SCOPED_TRACE(std::to_string(added) + " added, " + std::to_string(declared) + " declared");
    FakeEffect fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef**, PF_LayerDef*, void*) -> PF_Err {
      if (cmd != PF_Cmd_PARAMS_SETUP) return PF_Err_NONE;
      for (int i = 0; i < added; ++i) {
        PF_ParamDef slider = FloatSlider("Slider");
        in->inter.add_param(in->effect_ref, -1, &slider);
      }
      out->num_params = declared;
      return returned;
    });
    EffectHost host(FakeEffect::Entry());
    EXPECT_EQ(host.ParamsSetup(), expected);
    EXPECT_EQ(host.LastError(), expected);
    EXPECT_EQ(host.LastHostError(), why);
    EXPECT_EQ(host.About(), PF_Err_NONE);
    EXPECT_EQ(host.LastHostError(), "") << "said of one command only";
  }
}

TEST(EffectHostTest, StrictHostsSendUpdateParamsUIOnlyWhenTheEffectAsksOrAfterEffectsSupervises) {
  struct Case {
    const char* name;
    eHostApp app;
    PF_OutFlags flags; // at GLOBAL_SETUP
    PF_ParamFlags paramFlags;
    bool strict;
    bool sent;
  };
  const std::vector<Case> cases{
      {"Premiere Pro, asked", eHostApp::PremierePro, PF_OutFlag_SEND_UPDATE_PARAMS_UI, 0, true, true},
      {"Premiere Pro, supervised only", eHostApp::PremierePro, 0, PF_ParamFlag_SUPERVISE, true, false},
      {"After Effects, supervised", eHostApp::AfterEffects, 0, PF_ParamFlag_SUPERVISE, true, true},
      {"After Effects, neither", eHostApp::AfterEffects, PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0, true, false},
      {"lenient", eHostApp::PremierePro, 0, 0, false, true},
  };
  for (const auto& [name, app, flags, paramFlags, strict, sent] : cases) {
    SCOPED_TRACE(name);
    int updates = 0;
    FakeEffect fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef**, PF_LayerDef*, void*) {
      if (cmd == PF_Cmd_GLOBAL_SETUP) out->out_flags = flags;
      if (cmd == PF_Cmd_PARAMS_SETUP) {
        PF_ParamDef slider = FloatSlider("Slider");
        slider.flags = paramFlags;
        in->inter.add_param(in->effect_ref, -1, &slider);
        out->num_params = 2;
      }
      if (cmd == PF_Cmd_UPDATE_PARAMS_UI) ++updates;
      return PF_Err_NONE;
    });
    EffectHost host(FakeEffect::Entry(), app);
    host.SetStrict(strict);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.UpdateParamsUI(-1), PF_Err_NONE);
    EXPECT_EQ(updates, sent ? 1 : 0);
    EXPECT_EQ(host.UnsentCommands(), sent ? 0 : 1);

    // A clip of the instance goes by the instance's GLOBAL_SETUP.
    EffectHost clip(FakeEffect::Entry(), app);
    clip.SetStrict(strict);
    clip.UseGlobalDataOf(host);
    ASSERT_EQ(clip.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(clip.UpdateParamsUI(-1), PF_Err_NONE);
    EXPECT_EQ(updates, sent ? 2 : 0);
  }
}

TEST(EffectHostTest, SuitesAreCountedAndThePixelFormatSuiteIsPremieresOnly) {
  SPErr pixelFormatError = 0;
  SPErr unknownError = 0;
  FakeEffect fake([&](PF_Cmd, PF_InData* in, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void*) {
    EXPECT_NE(Acquire<PF_ParamUtilsSuite3>(in, kPFParamUtilsSuite, 3), nullptr);
    EXPECT_NE(Acquire<PF_HandleSuite1>(in, kPFHandleSuite, 2), nullptr);
    EXPECT_NE(Acquire<PF_ANSICallbacksSuite1>(in, kPFANSISuite, 1), nullptr);
    Acquire<PF_PixelFormatSuite1>(in, kPFPixelFormatSuite, 1, &pixelFormatError);
    Acquire<void>(in, "PF World Suite", 2, &unknownError);
    EXPECT_EQ(Acquire<PF_HandleSuite1>(in, kPFHandleSuite, 1), nullptr); // the version matters
    in->pica_basicP->ReleaseSuite(kPFParamUtilsSuite, 3);
    in->pica_basicP->ReleaseSuite(kPFHandleSuite, 2);
    return PF_Err_NONE;
  });

  EffectHost premiere(FakeEffect::Entry(), eHostApp::PremierePro);
  premiere.About();
  EXPECT_EQ(pixelFormatError, kSPNoError);
  EXPECT_EQ(unknownError, kSPSuiteNotFoundError);
  EXPECT_EQ(premiere.SuiteAcquisitions(kPFParamUtilsSuite), 1);
  EXPECT_EQ(premiere.SuiteReleases(kPFParamUtilsSuite), 1);
  EXPECT_EQ(premiere.SuiteAcquisitions(kPFANSISuite), 1);
  EXPECT_EQ(premiere.SuiteReleases(kPFANSISuite), 0);
  EXPECT_EQ(premiere.OutstandingSuites(), 2); // ANSI and pixel format were not released
  EXPECT_EQ(premiere.FailedSuiteAcquisitions(), 2);

  EffectHost afterEffects(FakeEffect::Entry(), eHostApp::AfterEffects);
  afterEffects.About();
  EXPECT_EQ(pixelFormatError, kSPSuiteNotFoundError);
  EXPECT_EQ(afterEffects.SuiteAcquisitions(kPFPixelFormatSuite), 0);
  EXPECT_EQ(afterEffects.PrepareInData({}).appl_id, PF_APPL_ID_AFTER_EFFECTS);
  EXPECT_EQ(premiere.PrepareInData({}).appl_id, PF_APPL_ID_PREMIERE);
}

TEST(EffectHostTest, FaultsMakeTheChosenServiceFail) {
  std::vector<bool> handles;
  SPErr handleSuite = 0;
  PF_Err added = 0;
  FakeEffect fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void*) {
    if (cmd == PF_Cmd_ABOUT) {
      for (int i = 0; i < 3; ++i) {
        PF_Handle handle = in->utils->host_new_handle(4);
        handles.push_back(handle != nullptr);
        if (handle) in->utils->host_dispose_handle(handle);
      }
      Acquire<PF_HandleSuite1>(in, kPFHandleSuite, 2, &handleSuite);
    }
    if (cmd == PF_Cmd_PARAMS_SETUP) {
      PF_ParamDef slider = FloatSlider("Slider");
      added = in->inter.add_param(in->effect_ref, -1, &slider);
    }
    return PF_Err_NONE;
  });
  EffectHost host(FakeEffect::Entry());
  host.Faults().newHandle.Arm(1, true);
  host.Faults().missingSuites.insert(kPFHandleSuite);
  host.Faults().addParam.Arm();
  host.Faults().addParamError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  host.About();
  host.ParamsSetup();
  EXPECT_EQ(handles, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(host.Faults().newHandle.trips, 1);
  EXPECT_EQ(handleSuite, kSPSuiteNotFoundError);
  EXPECT_EQ(added, PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host.Params().Count(), 1u);
  // Outside a command of this host nothing is faulted.
  PF_Handle handle = HostCallbacks::Utils()->host_new_handle(4);
  EXPECT_NE(handle, nullptr);
  HostCallbacks::Utils()->host_dispose_handle(handle);
}

TEST(EffectHostTest, InDataFaultsLeaveTheChosenFieldNullForTheTrippedCommand) {
  std::vector<PF_InData> seen;
  FakeEffect fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef**, PF_LayerDef*, void*) {
    if (cmd == PF_Cmd_SEQUENCE_SETUP) out->sequence_data = HostCallbacks::Utils()->host_new_handle(32);
    if (cmd == PF_Cmd_SEQUENCE_SETDOWN && in->sequence_data)
      HostCallbacks::Utils()->host_dispose_handle(in->sequence_data);
    seen.push_back(*in);
    return PF_Err_NONE;
  });
  EffectHost host(FakeEffect::Entry());
  int sequence = -1;
  ASSERT_EQ(host.SequenceSetup(sequence), PF_Err_NONE);
  host.Faults().nullUtils.Arm(1, true);
  host.Faults().nullSuiteBroker.Arm(0, true);
  host.Faults().nullEffectRef.Arm(2, true);
  host.Faults().nullSequenceData.Arm(1, true);
  for (int i = 0; i < 4; ++i) host.SequenceResetup(sequence);
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_TRUE(seen[1].utils && !seen[1].pica_basicP && seen[1].effect_ref && seen[1].sequence_data);
  EXPECT_TRUE(!seen[2].utils && seen[2].pica_basicP && seen[2].effect_ref && !seen[2].sequence_data);
  EXPECT_TRUE(seen[3].utils && seen[3].pica_basicP && !seen[3].effect_ref && seen[3].sequence_data);
  EXPECT_TRUE(seen[4].utils && seen[4].pica_basicP && seen[4].effect_ref && seen[4].sequence_data);
  // The sequence kept its record throughout.
  EXPECT_NE(host.SequenceData(sequence), nullptr);
  EXPECT_EQ(host.SequenceSetdown(sequence), PF_Err_NONE);
}

} // namespace
} // namespace brantok::lumaro::host

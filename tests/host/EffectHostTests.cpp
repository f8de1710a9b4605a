#include "EffectHost.h"
#include "HostCallbacks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace brantok::lumaro::host {
namespace {

// A stand-in for a plug-in's EffectMain, doing what the living Fake says.
using Behaviour = std::function<PF_Err(PF_Cmd, PF_InData*, PF_OutData*)>;
Behaviour behaviour;

PF_Err FakeMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef**, PF_LayerDef*, void*) {
  return behaviour ? behaviour(cmd, in, out) : PF_Err_NONE;
}

struct Fake {
  explicit Fake(Behaviour what) { behaviour = std::move(what); }
  ~Fake() { behaviour = nullptr; }
};

PF_ParamDef FloatSlider(const char* name) {
  PF_ParamDef def{};
  def.param_type = PF_Param_FLOAT_SLIDER;
  std::strncpy(def.name, name, sizeof def.name - 1);
  def.u.fs_d.slider_max = 100;
  def.u.fs_d.valid_max = 100;
  return def;
}

TEST(EffectHostTest, ParamsSetupFailsWhenTheCountLeavesOutTheInputLayerOrAnyParameter) {
  // The plug-in adds two parameters.
  struct Case {
    A_long declared;
    PF_Err returned; // by the plug-in
    PF_Err expected;
    std::string why;
  };
  const std::vector<Case> cases{
      {3, PF_Err_NONE, PF_Err_NONE, ""},
      {2, PF_Err_NONE, PF_Err_INTERNAL_STRUCT_DAMAGED,
       "PARAMS_SETUP: out_data->num_params is 2, but the plug-in added 2 parameters, 3 with the input layer"},
      {4, PF_Err_NONE, PF_Err_INTERNAL_STRUCT_DAMAGED,
       "PARAMS_SETUP: out_data->num_params is 4, but the plug-in added 2 parameters, 3 with the input layer"},
      // The plug-in's own error stands.
      {2, PF_Err_OUT_OF_MEMORY, PF_Err_OUT_OF_MEMORY, ""},
  };
  for (const auto& [declared, returned, expected, why] : cases) {
    SCOPED_TRACE(std::to_string(declared) + " declared");
    Fake fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData* out) -> PF_Err {
      if (cmd != PF_Cmd_PARAMS_SETUP) return PF_Err_NONE;
      for (PF_ParamDef slider : {FloatSlider("One"), FloatSlider("Two")})
        in->inter.add_param(in->effect_ref, -1, &slider);
      out->num_params = declared;
      return returned;
    });
    EffectHost host(&FakeMain);
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
    Fake fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData* out) {
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
    EffectHost host(&FakeMain, app);
    host.SetStrict(strict);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.UpdateParamsUI(-1), PF_Err_NONE);
    EXPECT_EQ(updates, sent ? 1 : 0);
    EXPECT_EQ(host.UnsentCommands(), sent ? 0 : 1);

    // A clip of the instance goes by the instance's GLOBAL_SETUP.
    EffectHost clip(&FakeMain, app);
    clip.SetStrict(strict);
    clip.UseGlobalDataOf(host);
    ASSERT_EQ(clip.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(clip.UpdateParamsUI(-1), PF_Err_NONE);
    EXPECT_EQ(updates, sent ? 2 : 0);
  }
}

// The module tests find suites left acquired, and suites asked for in a
// version the host does not have, by these.
TEST(EffectHostTest, SuitesAreCountedAndGivenOnlyInTheirVersion) {
  std::vector<bool> given;
  Fake fake([&](PF_Cmd, PF_InData* in, PF_OutData*) {
    const std::vector<std::pair<const char*, std::int32_t>> asked{
        {kPFParamUtilsSuite, 3}, {kPFHandleSuite, 2}, {kPFANSISuite, 1}, {kPFHandleSuite, 1}, {"PF World Suite", 2}};
    for (const auto& [name, version] : asked) {
      const void* suite = nullptr;
      given.push_back(in->pica_basicP->AcquireSuite(name, version, &suite) == kSPNoError && suite);
    }
    in->pica_basicP->ReleaseSuite(kPFParamUtilsSuite, 3);
    in->pica_basicP->ReleaseSuite(kPFHandleSuite, 2);
    return PF_Err_NONE;
  });
  EffectHost host(&FakeMain);
  host.About();
  EXPECT_EQ(given, (std::vector<bool>{true, true, true, false, false}));
  EXPECT_EQ(host.OutstandingSuites(), 1); // ANSI was not released
  EXPECT_EQ(host.FailedSuiteAcquisitions(), 2);
}

TEST(EffectHostTest, FaultsMakeTheChosenServiceFail) {
  std::vector<bool> handles;
  SPErr handleSuite = 0;
  PF_Err added = 0;
  Fake fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData*) {
    if (cmd == PF_Cmd_ABOUT) {
      for (int i = 0; i < 3; ++i) {
        PF_Handle handle = in->utils->host_new_handle(4);
        handles.push_back(handle != nullptr);
        if (handle) in->utils->host_dispose_handle(handle);
      }
      const void* suite = nullptr;
      handleSuite = in->pica_basicP->AcquireSuite(kPFHandleSuite, 2, &suite);
    }
    if (cmd == PF_Cmd_PARAMS_SETUP) {
      PF_ParamDef slider = FloatSlider("Slider");
      added = in->inter.add_param(in->effect_ref, -1, &slider);
    }
    return PF_Err_NONE;
  });
  EffectHost host(&FakeMain);
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
  Fake fake([&](PF_Cmd cmd, PF_InData* in, PF_OutData* out) {
    if (cmd == PF_Cmd_SEQUENCE_SETUP) out->sequence_data = HostCallbacks::Utils()->host_new_handle(32);
    if (cmd == PF_Cmd_SEQUENCE_SETDOWN && in->sequence_data)
      HostCallbacks::Utils()->host_dispose_handle(in->sequence_data);
    seen.push_back(*in);
    return PF_Err_NONE;
  });
  EffectHost host(&FakeMain);
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

#include "EffectHost.h"

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

} // namespace
} // namespace brantok::lumaro::host

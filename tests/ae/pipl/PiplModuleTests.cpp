// The PiPL the build made against what the module's GLOBAL_SETUP reports: the
// host compares the two, and chooses among duplicate effects by the version.
#include "BuiltPipl.h"
#include "EffectHost.h"
#include "LoadedModule.h"
#include "ae/pipl/EffectPipl.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::ae::test {
namespace {

// The written PiPL's bytes, its version word and flags included, are pinned
// by its own tests.
TEST(PiplModuleTest, TheBuiltPiplIsTheWrittenOneAndAgreesWithGlobalSetup) {
  const auto pipl = EffectPipl::LumaroEffect();
  EXPECT_EQ(BuiltPiplBytes(), pipl.Bytes());

  std::string error;
  const auto module = host::LoadedModule::Load(LUMARO_MODULE_PATH, error);
  ASSERT_NE(module, nullptr) << error;
  // The flags do not depend on the host application.
  host::EffectHost host(host::EffectHost::FindEntryPoint(*module));
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  const auto out = host.LastOutData();
  EXPECT_EQ(static_cast<std::uint32_t>(out.my_version), pipl.effectVersion);
  EXPECT_EQ(static_cast<std::uint32_t>(out.out_flags), pipl.globalOutFlags);
  EXPECT_EQ(static_cast<std::uint32_t>(out.out_flags2), pipl.globalOutFlags2);
  EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
}

} // namespace
} // namespace brantok::lumaro::ae::test

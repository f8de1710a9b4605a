// The PiPL the build made against what the module's GLOBAL_SETUP reports: the
// host compares the two, and chooses among duplicate effects by the version.
#include "BuiltPipl.h"
#include "EffectHost.h"
#include "LoadedModule.h"
#include "PiplReader.h"
#include "core/ProductInformation.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::ae::test {
namespace {

TEST(PiplModuleTest, VersionWordAndGlobalFlagsAgreeWithGlobalSetup) {
  const PiplReader pipl(BuiltPiplBytes());
  const auto word = PiplReader::Long(pipl.Get("eVER").data, 0);
  const auto flags = PiplReader::Long(pipl.Get("eGLO").data, 0);
  const auto flags2 = PiplReader::Long(pipl.Get("eGL2").data, 0);

  // The word is the product version, a release: decoded field by field.
  const auto& version = core::ProductInformation::GetVersion();
  EXPECT_EQ((word >> 19 & 0x7) + (word >> 26 & 0xF) * 8, static_cast<std::uint32_t>(version.major));
  EXPECT_EQ(word >> 15 & 0xF, static_cast<std::uint32_t>(version.minor));
  EXPECT_EQ(word >> 11 & 0xF, static_cast<std::uint32_t>(version.patch));
  EXPECT_EQ(word >> 9 & 0x3, static_cast<std::uint32_t>(PF_Stage_RELEASE));
  EXPECT_TRUE(flags & PF_OutFlag_SEND_UPDATE_PARAMS_UI);

  std::string error;
  const auto module = host::LoadedModule::Load(LUMARO_MODULE_PATH, error);
  ASSERT_NE(module, nullptr) << error;
  for (const auto app : {host::eHostApp::PremierePro, host::eHostApp::AfterEffects}) {
    SCOPED_TRACE(app == host::eHostApp::PremierePro ? "Premiere Pro" : "After Effects");
    host::EffectHost host(host::EffectHost::FindEntryPoint(*module), app);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    const auto out = host.LastOutData();
    EXPECT_EQ(out.my_version, word);
    EXPECT_EQ(static_cast<std::uint32_t>(out.out_flags), flags);
    EXPECT_EQ(static_cast<std::uint32_t>(out.out_flags2), flags2);
    EXPECT_EQ(host.GlobalSetdown(), PF_Err_NONE);
  }
}

} // namespace
} // namespace brantok::lumaro::ae::test

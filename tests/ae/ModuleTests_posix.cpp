// POSIX only: what the module leaves in the process when it is unloaded.
#include "LoadedModule.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::ae {
namespace {

// The OpenCL runtime's threads may still use the download library's per-thread state.
TEST(PosixModuleTest, TheDownloadLibraryStaysWhenTheModuleIsUnloaded) {
  std::string error;
  auto module = host::LoadedModule::Load(LUMARO_MODULE_PATH, error);
  ASSERT_NE(module, nullptr) << error;
  module.reset();
  const std::string mapped = lumaro::test::ReadFile("/proc/self/maps");
  EXPECT_NE(mapped.find("/libcurl"), std::string::npos);
  EXPECT_EQ(mapped.find("LumaroEffect"), std::string::npos) << "the module itself is gone";
}

} // namespace
} // namespace brantok::lumaro::ae

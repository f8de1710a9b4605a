// Windows only: the PiPL resource inside the built module, read the way the
// host reads it, without running any of the module's code.
#include "core/WindowsSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace brantok::lumaro::ae {
namespace {

struct ModuleRelease {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using DataModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleRelease>;

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(
      IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name));
  return TRUE;
}

// Hosts other than After Effects read a single effect PiPL per module.
TEST(PiplResourceTest, IsTheOnlyPiplOfTheModule) {
  const std::filesystem::path path(LUMARO_MODULE_PATH);
  const DataModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module) << LUMARO_MODULE_PATH << ": error " << GetLastError();
  std::vector<std::wstring> names;
  EnumResourceNamesW(module.get(), L"PiPL", CollectName, reinterpret_cast<LONG_PTR>(&names));
  EXPECT_EQ(names, std::vector<std::wstring>{L"#16000"});
}

} // namespace
} // namespace brantok::lumaro::ae

// Windows only: wide paths, code pages and COM state.
#include "core/LocalAppData.h"
#include "core/PathText.h"
#include "core/WindowsSupport.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace brantok::lumaro::core {
namespace {

TEST(WindowsPathTextTest, Utf8BecomesTheSameWideCharacters) {
  // U+00FC, U+2713, U+65E5
  const auto path = PathFromUtf8("\xC3\xBC\xE2\x9C\x93\xE6\x97\xA5");
  EXPECT_EQ(path.native(), std::wstring(L"\u00FC\u2713\u65E5"));
  EXPECT_EQ(PathToUtf8(std::filesystem::path(L"\u00FC\u2713\u65E5")), "\xC3\xBC\xE2\x9C\x93\xE6\x97\xA5");
}

TEST(WindowsPathTextTest, NarrowTextUsesTheAnsiCodePageOutsideUtf8Locales) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
  // U+00FC is 0xFC in Windows-1252; U+2713 has no place there.
  EXPECT_EQ(PathToNarrow(std::filesystem::path(L"\u00FC\u2713")), "\xFC?");
}

TEST(WindowsLocalAppDataTest, WorksOnASingleThreadedApartmentAndLeavesItAlone) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  std::filesystem::path out;
  EXPECT_TRUE(GetLocalAppDataPath(out, "App"));
  EXPECT_EQ(out.filename(), "App");
  // Still a single-threaded apartment: asking for one again is S_FALSE.
  const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(again, S_FALSE);
  if (SUCCEEDED(again)) CoUninitialize();
  CoUninitialize();
}

TEST(WindowsLocalAppDataTest, BalancesItsOwnComInitialisation) {
  std::filesystem::path out;
  EXPECT_TRUE(GetLocalAppDataPath(out, "App"));
  // COM is not left initialised on this thread: a fresh initialisation is S_OK.
  const HRESULT after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(after, S_OK);
  if (SUCCEEDED(after)) CoUninitialize();
}

} // namespace
} // namespace brantok::lumaro::core

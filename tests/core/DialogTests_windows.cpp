// Windows only: what can be checked without showing a dialog, which nothing
// could answer here.
#include "core/Dialogs.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::core {
namespace {

TEST(WindowsDialogTest, LongPathPrefixGoesAndWideCharactersStay) {
  const std::filesystem::path prefixed(L"\\\\?\\C:\\Effekte\\Gr\u00fcn \u8272");
  EXPECT_EQ(RemoveLongPathPrefix(prefixed).native(), std::wstring(L"C:\\Effekte\\Gr\u00fcn \u8272"));
  EXPECT_EQ(RemoveLongPathPrefix(std::filesystem::path(L"\\\\?\\UNC\\h\u00f6st\\share")).native(),
            std::wstring(L"\\\\h\u00f6st\\share"));
}

} // namespace
} // namespace brantok::lumaro::core

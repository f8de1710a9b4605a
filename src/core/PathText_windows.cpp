// Windows only: paths are UTF-16 and narrow text depends on the code page.
#include "core/PathText.h"

#include "core/WindowsSupport.h"

#include <cctype>
#include <climits>
#include <clocale>
#include <cstring>

namespace brantok::lumaro::core {
namespace {

std::string FromWide(const std::wstring& wide, UINT codePage) {
  if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), length, narrow.data(), size, nullptr, nullptr);
  return narrow;
}

bool LocaleUsesUtf8() {
  const char* locale = std::setlocale(LC_CTYPE, nullptr);
  if (!locale) return false;
  std::string name(locale);
  for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name.find("utf8") != std::string::npos || name.find("utf-8") != std::string::npos;
}

} // namespace

std::string PathToUtf8(const std::filesystem::path& path) { return FromWide(path.native(), CP_UTF8); }

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(utf8.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), size);
  return std::filesystem::path(wide);
}

std::string PathToNarrow(const std::filesystem::path& path) {
  const UINT codePage = LocaleUsesUtf8() ? CP_UTF8 : (AreFileApisANSI() ? CP_ACP : CP_OEMCP);
  return FromWide(path.native(), codePage);
}

} // namespace brantok::lumaro::core

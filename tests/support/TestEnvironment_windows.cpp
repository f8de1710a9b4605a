// Windows only.
#include "TestEnvironment.h"

#include "core/PathText.h"
#include "core/WindowsSupport.h"

#include <cstdlib>

namespace brantok::lumaro::test {

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
  _putenv_s(name.c_str(), value ? value->c_str() : "");
}

std::optional<std::filesystem::path> PlatformLocalAppData() {
  wchar_t buffer[32768];
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, 32768);
  if (length == 0 || length >= 32768) return std::nullopt;
  return std::filesystem::path(std::wstring(buffer, length));
}

} // namespace brantok::lumaro::test

// Windows only: the UTF-16 command line, converted to UTF-8.
#include "CommandLine.h"

#include "core/PathText.h"
#include "core/WindowsSupport.h"

#include <shellapi.h>

namespace brantok::lumaro::host {

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (!wide) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(core::PathToUtf8(std::filesystem::path(wide[i])));
  LocalFree(wide);
  return arguments;
}

std::filesystem::path ExecutablePath() {
  std::wstring buffer(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return {};
  buffer.resize(length);
  return std::filesystem::path(buffer);
}

} // namespace brantok::lumaro::host

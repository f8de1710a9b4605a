// POSIX only.
#include "TestEnvironment.h"

#include <cstdlib>

namespace brantok::lumaro::test {

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
}

std::optional<std::filesystem::path> PlatformLocalAppData() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::filesystem::path(xdg);
  if (const char* home = std::getenv("HOME"); home && *home) {
    return std::filesystem::path(home) / ".local" / "share";
  }
  return std::nullopt;
}

} // namespace brantok::lumaro::test

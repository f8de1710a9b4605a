// POSIX only: the XDG data folder stands in for Windows' local application data.
#include "core/LocalAppData.h"

#include "core/ProductInformation.h"

#include <cstdlib>

namespace brantok::lumaro::core {

bool GetLocalAppDataPath(std::filesystem::path& out, std::string applicationName) {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    return false;
  }
  out = base / std::string(ProductInformation::CompanyFolderName) / applicationName;
  return true;
}

} // namespace brantok::lumaro::core

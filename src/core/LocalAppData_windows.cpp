// Windows only: the known folder FOLDERID_LocalAppData.
#include "core/LocalAppData.h"

#include "core/ProductInformation.h"
#include "core/WindowsSupport.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace brantok::lumaro::core {

bool GetLocalAppDataPath(std::filesystem::path& out, std::string applicationName) {
  const ScopedComInitialisation com;
  if (!com.Usable()) return false;

  const std::filesystem::path subPath =
      std::filesystem::path(std::string(ProductInformation::CompanyFolderName)) / applicationName;
  PWSTR folder = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) {
    CoTaskMemFree(folder);
    return false;
  }
  out = std::filesystem::path(folder) / subPath;
  CoTaskMemFree(folder);
  return true;
}

} // namespace brantok::lumaro::core

// Windows only: the shell opens the address with the user's browser.
#include "services/UrlOpener.h"

#include "core/WindowsSupport.h"

#include <shellapi.h>

namespace brantok::lumaro::services {

void OpenUrlWithSystem(const std::string& url) {
  ShellExecuteA(nullptr, nullptr, url.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

} // namespace brantok::lumaro::services

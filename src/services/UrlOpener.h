#pragma once

#include <functional>
#include <string>

namespace brantok::lumaro::services {

// Opens a web address in the user's browser and returns without waiting for
// it. Whether the browser came up is not examined: there is nothing the
// plug-in could do about it.
void OpenUrl(const std::string& url);

using UrlOpenerHook = std::function<void(const std::string& url)>;

// Sends OpenUrl's calls to `hook` instead of the browser, for programs that
// must not start one (tests); an empty hook restores the browser. Not meant to
// be changed while another thread opens an address.
void SetUrlOpenerHook(UrlOpenerHook hook);

// The platform's own way to open an address: ShellExecuteA on Windows,
// xdg-open elsewhere.
void OpenUrlWithSystem(const std::string& url);

} // namespace brantok::lumaro::services

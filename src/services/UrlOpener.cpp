#include "services/UrlOpener.h"

#include <utility>

namespace brantok::lumaro::services {
namespace {

UrlOpenerHook& Hook() {
  static UrlOpenerHook hook;
  return hook;
}

} // namespace

void OpenUrl(const std::string& url) {
  if (const auto& hook = Hook()) {
    hook(url);
    return;
  }
  OpenUrlWithSystem(url);
}

void SetUrlOpenerHook(UrlOpenerHook hook) { Hook() = std::move(hook); }

} // namespace brantok::lumaro::services

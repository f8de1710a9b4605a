#include "ae/KeepString.h"

#include <algorithm>
#include <list>
#include <memory>
#include <mutex>

namespace brantok::lumaro::ae {
namespace {

// UI commands arrive on one host thread, but a stray call from a render
// thread must not corrupt the list.
std::mutex& KeptMutex() {
  static std::mutex mutex;
  return mutex;
}

std::list<std::shared_ptr<const std::string>>& KeptStrings() {
  static std::list<std::shared_ptr<const std::string>> strings;
  return strings;
}

} // namespace

const char* KeepString(const std::string& text) {
  std::lock_guard lock(KeptMutex());
  auto& strings = KeptStrings();
  const auto found = std::find_if(strings.begin(), strings.end(), [&](const auto& kept) { return *kept == text; });
  if (found != strings.end()) return (*found)->c_str();
  strings.push_back(std::make_shared<const std::string>(text));
  return strings.back()->c_str();
}

void ClearKeptStrings() {
  std::lock_guard lock(KeptMutex());
  KeptStrings().clear();
}

} // namespace brantok::lumaro::ae

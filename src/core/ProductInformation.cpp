#include "core/ProductInformation.h"

#include <string>

namespace brantok::lumaro::core {

const Version& ProductInformation::GetVersion() {
  static const Version version{std::string(VersionText)};
  return version;
}

namespace {
// Parse at load time, before the host sends its first command.
[[maybe_unused]] const Version& parsedAtLoad = ProductInformation::GetVersion();
} // namespace

} // namespace brantok::lumaro::core

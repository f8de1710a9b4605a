#include "core/Version.h"

#include "core/Logger.h"
#include "core/ProductInformation.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace brantok::lumaro::core {
namespace {

// Converts like std::stoi: leading white space, an optional sign, then digits up
// to the first non-digit; the rest is ignored. No digits or a value outside the
// 32-bit range gives nothing.
std::optional<std::int32_t> ParseNumber(std::string_view text) {
  text.remove_prefix(std::min(text.size(), text.find_first_not_of(" \t\n\v\f\r")));
  // std::from_chars takes a minus sign only.
  if (text.starts_with('+') && !text.substr(1).starts_with('-')) text.remove_prefix(1);
  std::int32_t value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return std::nullopt;
  return value;
}

} // namespace

Version::Version(std::int32_t majorNumber, std::int32_t minorNumber, std::int32_t patchNumber) :
    major(majorNumber), minor(minorNumber), patch(patchNumber), valid(true) {}

Version::Version(const std::string& text) {
  const std::size_t firstDot = text.find('.');
  if (firstDot != std::string::npos) {
    const std::string_view whole(text);
    const std::string_view rest = whole.substr(firstDot + 1);
    const std::size_t secondDot = rest.find('.');
    if (secondDot != std::string_view::npos) {
      const std::string_view parts[] = {whole.substr(0, firstDot), rest.substr(0, secondDot),
                                        rest.substr(secondDot + 1)};
      std::int32_t* fields[] = {&major, &minor, &patch};
      bool parsed = true;
      for (int i = 0; i < 3 && parsed; ++i) {
        const auto number = ParseNumber(parts[i]);
        if (number) {
          *fields[i] = *number;
        } else {
          parsed = false;
        }
      }
      if (parsed) {
        valid = true;
      } else {
        Logger::Log("Failed to parse version string: " + text, eLogChannel::Error);
      }
    }
  }
  Logger::Log(std::string(ProductInformation::Name) + " " + ToString(), eLogChannel::Info);
}

std::string Version::ToString() const {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

} // namespace brantok::lumaro::core

#include "core/Version.h"

#include "core/Logger.h"
#include "core/ProductInformation.h"

#include <limits>
#include <optional>
#include <string_view>

namespace brantok::lumaro::core {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Converts like std::stoi: leading white space, an optional sign, then digits up
// to the first non-digit; the rest is ignored. No digits or a value outside the
// 32-bit range gives nothing.
std::optional<std::int32_t> ParseNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t firstDigit = i;
  std::int64_t value = 0;
  constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) return std::nullopt;
  }
  if (i == firstDigit) return std::nullopt;
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
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

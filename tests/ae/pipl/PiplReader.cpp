#include "PiplReader.h"

#include <stdexcept>
#include <utility>

namespace brantok::lumaro::ae::test {
namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kPropertyHeaderSize = 16;

// A four-character code stored little-endian appears reversed in the file.
std::string CodeText(std::uint32_t code) {
  return {static_cast<char>(code >> 24), static_cast<char>(code >> 16), static_cast<char>(code >> 8),
          static_cast<char>(code)};
}

} // namespace

PiplReader::PiplReader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) throw std::runtime_error("PiPL shorter than its header");
  count_ = Long(bytes, 6);
  std::size_t at = kHeaderSize;
  while (at < bytes.size()) {
    if (bytes.size() - at < kPropertyHeaderSize) {
      throw std::runtime_error("property header at " + std::to_string(at) + " cut short");
    }
    Property property;
    property.offset = at;
    property.key = CodeText(Long(bytes, at + 4));
    property.length = Long(bytes, at + 12);
    const auto data = at + kPropertyHeaderSize;
    if (property.length > bytes.size() - data) {
      throw std::runtime_error("property '" + property.key + "' runs past the end");
    }
    property.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(data),
                         bytes.begin() + static_cast<std::ptrdiff_t>(data + property.length));
    properties_.push_back(std::move(property));
    at = data + properties_.back().length;
  }
}

const PiplReader::Property& PiplReader::Get(std::string_view key) const {
  for (const auto& property : properties_) {
    if (property.key == key) return property;
  }
  throw std::runtime_error("no property '" + std::string(key) + "'");
}

std::uint32_t PiplReader::Long(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

} // namespace brantok::lumaro::ae::test

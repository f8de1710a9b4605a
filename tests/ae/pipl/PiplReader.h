#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brantok::lumaro::ae::test {

// Reads a PiPL back the way a host walks it, written apart from the writer so
// that the tests do not share its mistakes.
class PiplReader {
public:
  struct Property {
    std::size_t offset = 0; // of the property's header within the list
    std::string key;        // as the host spells it, e.g. "kind"
    std::uint32_t length = 0;
    std::vector<std::uint8_t> data; // all `length` bytes, padding included
  };

  // Throws std::runtime_error when the header is cut short or a property runs
  // past the end of the bytes.
  explicit PiplReader(std::span<const std::uint8_t> bytes);

  std::uint32_t Count() const { return count_; }
  // In file order; the walk consumed every byte.
  const std::vector<Property>& Properties() const { return properties_; }
  // Throws std::runtime_error when no property has this key.
  const Property& Get(std::string_view key) const;

  // A little-endian 32-bit value.
  static std::uint32_t Long(std::span<const std::uint8_t> bytes, std::size_t offset);

private:
  std::uint32_t count_ = 0;
  std::vector<Property> properties_;
};

} // namespace brantok::lumaro::ae::test

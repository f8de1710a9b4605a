#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace brantok::lumaro::ae {

// Writes a PiPL, the property list from which the host learns what a module
// holds before it loads it, in the form of a compiled Windows resource: every
// number little-endian, every property under the vendor '8BIM', and each
// property's length counting the zero padding that keeps the next one on a
// multiple of four. Properties come out in the order they were added.
class PiplWriter {
public:
  // A four-character code as the host compares it: the first character in
  // the most significant byte, so that 'kind' is stored as "dnik".
  static constexpr std::uint32_t Code(const char (&text)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[3]));
  }

  void AddCode(std::uint32_t key, std::uint32_t code) { AddLong(key, code); }
  void AddLong(std::uint32_t key, std::uint32_t value);
  // Two 16-bit halves, major first.
  void AddVersionPair(std::uint32_t key, std::uint16_t major, std::uint16_t minor);
  // Throws std::invalid_argument for text over 255 bytes: the length byte
  // cannot say more, and a shortened name or match name would be a different
  // effect to the host.
  void AddPascalString(std::uint32_t key, std::string_view text);
  // Throws std::invalid_argument for text holding a NUL, which would end it early.
  void AddCString(std::uint32_t key, std::string_view text);

  // The header followed by every property added so far.
  std::vector<std::uint8_t> Bytes() const;

private:
  void AddProperty(std::uint32_t key, const std::vector<std::uint8_t>& data);

  std::vector<std::uint8_t> properties_;
  std::uint32_t count_ = 0;
};

} // namespace brantok::lumaro::ae

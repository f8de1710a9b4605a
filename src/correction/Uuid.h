#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace brantok::lumaro::correction {

// 16 random bytes in RFC 4122 byte order. Ids of compiled programs in the
// effect cache and of the sequences of the host layer, which stores them in
// project files; the byte order is therefore part of that format.
struct Uuid {
  std::array<std::uint8_t, 16> bytes{};

  // A new id from the platform's GUID generator; throws std::system_error
  // ("CoCreateGuid failed") when the generator fails.
  static Uuid Generate();

  friend bool operator==(const Uuid&, const Uuid&) = default;
};

static_assert(sizeof(Uuid) == 16, "Uuid is stored in project files");

// Bytes 0-7 and 8-15, each read as a big-endian 64-bit number, exclusive-or'ed.
struct UuidHash {
  std::size_t operator()(const Uuid& id) const noexcept;
};

} // namespace brantok::lumaro::correction

#include "correction/Uuid.h"

namespace brantok::lumaro::correction {

std::size_t UuidHash::operator()(const Uuid& id) const noexcept {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  for (int i = 0; i < 8; ++i) {
    high = (high << 8) | id.bytes[static_cast<std::size_t>(i)];
    low = (low << 8) | id.bytes[static_cast<std::size_t>(i + 8)];
  }
  return static_cast<std::size_t>(high ^ low);
}

} // namespace brantok::lumaro::correction

#include "correction/EffectSource.h"

#include <string_view>

namespace brantok::lumaro::correction {
namespace {

std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char byte : bytes) {
    hash ^= static_cast<std::uint8_t>(byte);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

} // namespace

std::size_t EffectSourceHash::operator()(const EffectSource& source) const noexcept {
  const auto kind = static_cast<std::uint32_t>(source.kind);
  const char kindBytes[4] = {static_cast<char>(kind & 0xFF), static_cast<char>((kind >> 8) & 0xFF),
                             static_cast<char>((kind >> 16) & 0xFF), static_cast<char>((kind >> 24) & 0xFF)};
  return static_cast<std::size_t>(Fnv1a(source.kernelSource) ^ Fnv1a(source.metadata) ^
                                  Fnv1a(std::string_view(kindBytes, 4)));
}

} // namespace brantok::lumaro::correction

#include "ae/EffectPathValue.h"

namespace brantok::lumaro::ae {
namespace {

constexpr std::string_view Tag = "LUMAROKP";
constexpr std::uint8_t EmptySlot = 0xFF;

void PutLittleEndian(std::string& out, std::uint64_t value, std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t GetLittleEndian(std::string_view in, std::size_t offset, std::size_t bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < bytes; ++i) value |= std::uint64_t{static_cast<std::uint8_t>(in[offset + i])} << (8 * i);
  return value;
}

std::uint64_t Fnv1a(std::uint64_t hash, std::string_view bytes) {
  for (const char byte : bytes) {
    hash ^= static_cast<std::uint8_t>(byte);
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

constexpr std::uint64_t FnvBasis = 0xCBF29CE484222325ULL;

std::optional<std::string> MakeSlotMap(const std::vector<SlotEntry>& slots) {
  if (slots.size() > static_cast<std::size_t>(ParameterLayout::ControlSlots)) return std::nullopt;
  std::string map(1, static_cast<char>(slots.size()));
  for (const auto& [id, kind] : slots) {
    if (id.size() > EffectPathValue::MaxIdSize || (!kind && !id.empty())) return std::nullopt;
    map.push_back(static_cast<char>(kind ? static_cast<std::uint8_t>(*kind) : EmptySlot));
    PutLittleEndian(map, id.size(), 2);
    map += id;
  }
  return map;
}

// Every byte of `map` must belong to a slot: anything else is damage.
bool ReadSlotMap(std::string_view map, std::vector<SlotEntry>& slots) {
  if (map.empty()) return false;
  const auto count = static_cast<std::uint8_t>(map[0]);
  if (count > ParameterLayout::ControlSlots) return false;
  std::size_t offset = 1;
  for (std::uint8_t slot = 0; slot < count; ++slot) {
    if (map.size() - offset < 3) return false;
    const auto kindByte = static_cast<std::uint8_t>(map[offset]);
    const auto length = static_cast<std::size_t>(GetLittleEndian(map, offset + 1, 2));
    offset += 3;
    if (map.size() - offset < length) return false;
    SlotEntry entry{std::string(map.substr(offset, length)), std::nullopt};
    offset += length;
    if (kindByte != EmptySlot) {
      const auto kind = static_cast<eControl>(kindByte);
      if (!GetControlKinds().count(kind)) return false;
      entry.kind = kind;
    } else if (length != 0) {
      return false;
    }
    slots.push_back(std::move(entry));
  }
  return offset == map.size();
}

} // namespace

std::optional<std::string> EffectPathValue::MakeTrailer(const KeptPackage& kept) {
  if (!kept.bytes || kept.bytes->size() > MaxPackageSize) return std::nullopt;
  const auto map = MakeSlotMap(kept.slots);
  if (!map) return std::nullopt;
  std::string trailer(Tag);
  PutLittleEndian(trailer, Version, 4);
  PutLittleEndian(trailer, kept.bytes->size(), 4);
  PutLittleEndian(trailer, map->size(), 4);
  PutLittleEndian(trailer, Fnv1a(Fnv1a(FnvBasis, *kept.bytes), *map), 8);
  trailer += *kept.bytes;
  trailer += *map;
  return trailer;
}

std::optional<KeptPackage> EffectPathValue::ReadTrailer(std::string_view trailer, std::string& problem) {
  if (trailer.size() < HeaderSize) {
    problem = "cut short at " + std::to_string(trailer.size()) + " bytes";
    return std::nullopt;
  }
  if (trailer.substr(0, Tag.size()) != Tag) {
    problem = "no trailer tag";
    return std::nullopt;
  }
  if (const auto version = GetLittleEndian(trailer, 8, 4); version != Version) {
    problem = "format version " + std::to_string(version) + ", this plug-in reads " + std::to_string(Version);
    return std::nullopt;
  }
  const auto packageSize = GetLittleEndian(trailer, 12, 4);
  const auto mapSize = GetLittleEndian(trailer, 16, 4);
  // 64-bit sums of 32-bit lengths cannot wrap.
  if (HeaderSize + packageSize + mapSize != trailer.size() || packageSize > MaxPackageSize) {
    problem = "lengths do not match its " + std::to_string(trailer.size()) + " bytes";
    return std::nullopt;
  }
  const auto package = trailer.substr(HeaderSize, packageSize);
  const auto map = trailer.substr(HeaderSize + packageSize);
  if (Fnv1a(Fnv1a(FnvBasis, package), map) != GetLittleEndian(trailer, 20, 8)) {
    problem = "checksum does not match";
    return std::nullopt;
  }
  KeptPackage kept;
  if (!ReadSlotMap(map, kept.slots)) {
    problem = "damaged slot map";
    return std::nullopt;
  }
  kept.bytes = std::make_shared<const std::string>(package);
  return kept;
}

} // namespace brantok::lumaro::ae

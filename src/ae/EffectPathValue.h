#pragma once

#include "ae/ParameterLayout.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brantok::lumaro::ae {

// Which control a host parameter slot's value belongs to: the control's id and
// kind. An empty slot has no kind and an empty id.
struct SlotEntry {
  std::string id;
  std::optional<eControl> kind;

  bool operator==(const SlotEntry&) const = default;
};

// A copy of the chosen package kept in the project with its path, and the
// clip's slot map (in slot order, at most ParameterLayout::ControlSlots).
struct KeptPackage {
  std::shared_ptr<const std::string> bytes;
  std::vector<SlotEntry> slots;
};

// The bytes that may follow the Effect Path parameter's 2048-byte path block:
// a trailer that carries a kept package. All numbers are little-endian, so
// Windows and Linux read the same bytes:
//
//   offset  size  field
//        0     8  tag "LUMAROKP"
//        8     4  format version (1)
//       12     4  package length
//       16     4  slot map length
//       20     8  FNV-1a 64 of the package bytes followed by the slot map
//       28     -  package bytes, then slot map bytes
//
// Slot map: a count byte, then per slot a kind byte (an eControl value, 0xFF
// for an empty slot), the id's length (2 bytes) and the id's bytes.
// Older plug-in versions only know the bare 2048-byte block.
class EffectPathValue final {
public:
  EffectPathValue() = delete;

  static constexpr std::size_t HeaderSize = 28;
  static constexpr std::uint32_t Version = 1;
  // Larger packages are not kept: projects would grow by their size per clip.
  static constexpr std::size_t MaxPackageSize = std::size_t{1} << 20;
  static constexpr std::size_t MaxIdSize = 0xFFFF;
  static constexpr std::size_t MaxSlotMapSize = 1 + ParameterLayout::ControlSlots * (3 + MaxIdSize);
  // The largest value this plug-in writes; anything longer is damaged.
  static constexpr std::size_t MaxSize = ParameterLayout::EffectPathSize + HeaderSize + MaxPackageSize + MaxSlotMapSize;

  // The trailer for `kept`; nothing when it cannot be written: no bytes, more
  // than MaxPackageSize of them, more slots than the host has, an id longer
  // than MaxIdSize or an empty slot with an id.
  static std::optional<std::string> MakeTrailer(const KeptPackage& kept);

  // The kept package from everything after the path block; nothing, with the
  // reason in `problem`, when the trailer is damaged, cut short, of another
  // version, has lengths that do not add up to its size or a wrong checksum.
  // Reads only within `trailer`.
  static std::optional<KeptPackage> ReadTrailer(std::string_view trailer, std::string& problem);
};

} // namespace brantok::lumaro::ae

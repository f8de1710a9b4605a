#include "ae/SequenceData.h"

#include <algorithm>

namespace brantok::lumaro::ae {

bool SequenceData::HasId() const {
  return !IsTurnedOff() && std::any_of(id.bytes.begin(), id.bytes.end(), [](std::uint8_t byte) { return byte != 0; });
}

namespace {

// The high half of byte 6 holds an RFC 4122 id's version.
constexpr std::size_t kVersionByte = 6;
constexpr std::uint8_t kVersionBits = 0xF0;
constexpr std::uint8_t kRandomVersion = 0x40;

} // namespace

bool SequenceData::IsTurnedOff() const { return (id.bytes[kVersionByte] & kVersionBits) == kVersionBits; }

void SequenceData::TurnOff() { id.bytes[kVersionByte] |= kVersionBits; }

correction::Uuid SequenceData::Key() const {
  if (!IsTurnedOff()) return id;
  auto key = id;
  key.bytes[kVersionByte] = static_cast<std::uint8_t>((key.bytes[kVersionByte] & ~kVersionBits) | kRandomVersion);
  return key;
}

} // namespace brantok::lumaro::ae

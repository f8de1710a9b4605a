#include "ae/SequenceData.h"

#include <algorithm>

namespace brantok::lumaro::ae {

bool SequenceData::HasId() const {
  return !IsTurnedOff() && std::any_of(id.bytes.begin(), id.bytes.end(), [](std::uint8_t byte) { return byte != 0; });
}

bool SequenceData::IsTurnedOff() const {
  return std::all_of(id.bytes.begin(), id.bytes.end(), [](std::uint8_t byte) { return byte == 0xFF; });
}

void SequenceData::TurnOff() { id.bytes.fill(0xFF); }

} // namespace brantok::lumaro::ae

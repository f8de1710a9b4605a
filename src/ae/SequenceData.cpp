#include "ae/SequenceData.h"

#include <algorithm>

namespace brantok::lumaro::ae {

bool SequenceData::HasId() const {
  return std::any_of(id.bytes.begin(), id.bytes.end(), [](std::uint8_t byte) { return byte != 0; });
}

} // namespace brantok::lumaro::ae

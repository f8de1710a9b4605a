// Windows only: ids from CoCreateGuid.
#include "correction/Uuid.h"

#include "core/WindowsSupport.h"

#include <system_error>

namespace brantok::lumaro::correction {

Uuid Uuid::Generate() {
  GUID guid;
  const HRESULT result = CoCreateGuid(&guid);
  if (FAILED(result)) throw std::system_error(static_cast<int>(result), std::system_category(), "CoCreateGuid failed");
  // The GUID's first three groups are native (little-endian) integers; the id
  // stores every group most significant byte first.
  Uuid id;
  for (int i = 0; i < 4; ++i)
    id.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(guid.Data1 >> (24 - 8 * i));
  id.bytes[4] = static_cast<std::uint8_t>(guid.Data2 >> 8);
  id.bytes[5] = static_cast<std::uint8_t>(guid.Data2);
  id.bytes[6] = static_cast<std::uint8_t>(guid.Data3 >> 8);
  id.bytes[7] = static_cast<std::uint8_t>(guid.Data3);
  for (int i = 0; i < 8; ++i) id.bytes[static_cast<std::size_t>(8 + i)] = guid.Data4[i];
  return id;
}

} // namespace brantok::lumaro::correction

// POSIX only: random version-4 ids from the system's random source, shaped as
// a GUID generator makes them.
#include "correction/Uuid.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace brantok::lumaro::correction {

Uuid Uuid::Generate() {
  Uuid id;
  std::ifstream random("/dev/urandom", std::ios::binary);
  random.read(reinterpret_cast<char*>(id.bytes.data()), static_cast<std::streamsize>(id.bytes.size()));
  if (!random) throw std::system_error(errno ? errno : EIO, std::generic_category(), "CoCreateGuid failed");
  id.bytes[6] = static_cast<std::uint8_t>((id.bytes[6] & 0x0F) | 0x40); // version 4
  id.bytes[8] = static_cast<std::uint8_t>((id.bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
  return id;
}

} // namespace brantok::lumaro::correction

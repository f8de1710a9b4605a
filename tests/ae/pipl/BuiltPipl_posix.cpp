#include "BuiltPipl.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace brantok::lumaro::ae::test {

std::vector<std::uint8_t> BuiltPiplBytes() {
  std::ifstream file(LUMARO_PIPL_PATH, std::ios::binary);
  if (!file) throw std::runtime_error(std::string("cannot read ") + LUMARO_PIPL_PATH);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace brantok::lumaro::ae::test

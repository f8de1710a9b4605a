#pragma once

#include <cstdint>
#include <vector>

namespace brantok::lumaro::ae::test {

// The PiPL as the build made it, read without running any of the module's
// code: on Windows the module's resource PiPL 16000; elsewhere, where modules
// carry no resources, the generator's output that the Windows build compiles
// in. Throws std::runtime_error when it cannot be read.
std::vector<std::uint8_t> BuiltPiplBytes();

} // namespace brantok::lumaro::ae::test

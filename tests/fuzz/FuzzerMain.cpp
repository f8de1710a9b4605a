#include "FuzzTargets.h"

// The libFuzzer entry of one target, named when the program is built.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return brantok::lumaro::fuzz::LUMARO_FUZZ_TARGET(data, size);
}

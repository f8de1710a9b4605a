#include "ResidentMemory.h"

#include <fstream>
#include <sstream>
#include <string>

namespace brantok::lumaro::bench {

ResidentMemory ResidentMemory::Read() {
  ResidentMemory memory;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    std::istringstream fields(line);
    std::string key;
    std::uint64_t kib = 0;
    fields >> key >> kib;
    if (key == "VmRSS:") memory.currentKiB = kib;
    if (key == "VmHWM:") memory.peakKiB = kib;
  }
  return memory;
}

} // namespace brantok::lumaro::bench

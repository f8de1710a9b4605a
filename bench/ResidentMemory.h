#pragma once

#include <cstdint>

namespace brantok::lumaro::bench {

// The process's resident memory as the kernel reports it in
// /proc/self/status: now (VmRSS) and at its peak so far (VmHWM).
struct ResidentMemory {
  std::uint64_t currentKiB = 0;
  std::uint64_t peakKiB = 0;

  // Zeros where the file or a field cannot be read.
  static ResidentMemory Read();
};

} // namespace brantok::lumaro::bench

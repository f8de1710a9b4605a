#pragma once

#include <cstdint>

namespace brantok::lumaro::gpu {

// How a memory object is placed and who may touch it. Every memory object
// keeps the three values it was created with.

enum class eMemoryLocation : std::int32_t {
  Device = 0,        // device memory only
  HostAllocated = 1, // the driver allocates host-visible memory
  HostPointer = 2,   // the driver uses memory the caller supplies
};

enum class eMemoryDeviceAccess : std::int32_t {
  Read = 0,
  Write = 1,
  ReadWrite = 2,
};

enum class eMemoryHostAccess : std::int32_t {
  ReadWrite = 0,
  Read = 1,
  Write = 2,
  NoAccess = 3,
};

} // namespace brantok::lumaro::gpu

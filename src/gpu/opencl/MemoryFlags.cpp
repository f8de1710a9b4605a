#include "gpu/opencl/MemoryFlags.h"

#include <stdexcept>

namespace brantok::lumaro::gpu::opencl {

cl_mem_flags ToDeviceAccessFlag(eMemoryDeviceAccess access) {
  switch (access) {
  case eMemoryDeviceAccess::Read:
    return CL_MEM_READ_ONLY;
  case eMemoryDeviceAccess::Write:
    return CL_MEM_WRITE_ONLY;
  case eMemoryDeviceAccess::ReadWrite:
    return CL_MEM_READ_WRITE;
  }
  throw std::runtime_error("Unknown eMemoryDeviceAccess setting");
}

cl_mem_flags ToHostAccessFlag(eMemoryHostAccess access) {
  switch (access) {
  case eMemoryHostAccess::ReadWrite:
    return 0;
  case eMemoryHostAccess::Read:
    return CL_MEM_HOST_READ_ONLY;
  case eMemoryHostAccess::Write:
    return CL_MEM_HOST_WRITE_ONLY;
  case eMemoryHostAccess::NoAccess:
    return CL_MEM_HOST_NO_ACCESS;
  }
  throw std::runtime_error("Unknown MemoryHostAccess setting");
}

cl_mem_flags ToLocationFlag(eMemoryLocation location, bool hasHostData) {
  switch (location) {
  case eMemoryLocation::Device:
    return hasHostData ? CL_MEM_COPY_HOST_PTR : 0;
  case eMemoryLocation::HostAllocated:
    return CL_MEM_ALLOC_HOST_PTR | (hasHostData ? CL_MEM_COPY_HOST_PTR : 0);
  case eMemoryLocation::HostPointer:
    return CL_MEM_USE_HOST_PTR;
  }
  throw std::runtime_error("Unknown eMemoryLocation setting");
}

cl_mem_flags ToMemoryFlags(eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess, eMemoryLocation location,
                           bool hasHostData) {
  const cl_mem_flags device = ToDeviceAccessFlag(deviceAccess);
  const cl_mem_flags host = ToHostAccessFlag(hostAccess);
  return device | host | ToLocationFlag(location, hasHostData);
}

cl_mem GetNativeMemory(const IBuffer& memory) {
  const void* handle = memory.GetNativeHandle();
  return handle ? *static_cast<const cl_mem*>(handle) : nullptr;
}

} // namespace brantok::lumaro::gpu::opencl

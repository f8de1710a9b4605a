#pragma once

#include "gpu/IBuffer.h"
#include "gpu/MemoryAccess.h"

#include <CL/opencl.hpp>

namespace brantok::lumaro::gpu::opencl {

// Translation of the memory enumerations into OpenCL memory flags. Each
// throws std::runtime_error for a value outside its enumeration.
cl_mem_flags ToDeviceAccessFlag(eMemoryDeviceAccess access);
cl_mem_flags ToHostAccessFlag(eMemoryHostAccess access);
// With host data the driver copies it in, except for HostPointer, where it
// uses the caller's memory as it is.
cl_mem_flags ToLocationFlag(eMemoryLocation location, bool hasHostData);

// The OR of the three flags, checked in the order device access, host access,
// location, so the first bad value decides the message.
cl_mem_flags ToMemoryFlags(eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess, eMemoryLocation location,
                           bool hasHostData);

// The cl_mem behind any memory object of this back end (null when its
// creation failed).
cl_mem GetNativeMemory(const IBuffer& memory);

} // namespace brantok::lumaro::gpu::opencl

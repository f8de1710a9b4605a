#include "gpu/opencl/MemoryObject.h"

#include "core/Logger.h"
#include "gpu/opencl/MemoryFlags.h"

#include <utility>

namespace brantok::lumaro::gpu::opencl {

MemoryObject::MemoryObject(eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess, eMemoryLocation location,
                           std::optional<std::string> name, bool hasHostData) :
    location_(location),
    deviceAccess_(deviceAccess), hostAccess_(hostAccess), name_(std::move(name).value_or(std::string())),
    flags_(ToMemoryFlags(deviceAccess, hostAccess, location, hasHostData)) {}

MemoryObject::MemoryObject(eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess, eMemoryLocation location,
                           std::optional<std::string> name) :
    location_(location),
    deviceAccess_(deviceAccess), hostAccess_(hostAccess), name_(std::move(name).value_or(std::string())), valid_(true) {
}

void MemoryObject::Adopt(cl_mem handle, cl_int error, const char* failureMessage) {
  // The wrapper takes over the reference that the creation call returned.
  memory_ = cl::Memory(handle, false);
  valid_ = error == CL_SUCCESS;
  if (!valid_) core::Logger::Log(failureMessage, core::eLogChannel::Info);
}

} // namespace brantok::lumaro::gpu::opencl

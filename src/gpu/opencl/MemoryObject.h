#pragma once

#include "gpu/MemoryAccess.h"

#include <CL/opencl.hpp>

#include <optional>
#include <string>

namespace brantok::lumaro::gpu::opencl {

// The state that buffers and images share: the creation settings, the name,
// the validity and the owned cl_mem. Not copyable or movable, so the address
// of the handle that GetHandleAddress() gives stays the same for the
// object's life.
class MemoryObject {
public:
  // Checks and translates the settings first; throws std::runtime_error for a
  // bad value before anything native is created.
  MemoryObject(eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess, eMemoryLocation location,
               std::optional<std::string> name, bool hasHostData);
  // Memory another owner made: valid, and without creation flags of its own.
  MemoryObject(eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess, eMemoryLocation location,
               std::optional<std::string> name);
  MemoryObject(const MemoryObject&) = delete;
  MemoryObject& operator=(const MemoryObject&) = delete;

  cl_mem_flags GetFlags() const { return flags_; }

  // Takes ownership of what the creation call returned; a failed creation is
  // logged with `failureMessage` and leaves the object invalid.
  void Adopt(cl_mem handle, cl_int error, const char* failureMessage);

  eMemoryLocation GetMemoryLocation() const { return location_; }
  eMemoryDeviceAccess GetDeviceAccess() const { return deviceAccess_; }
  eMemoryHostAccess GetHostAccess() const { return hostAccess_; }
  const std::string& GetName() const { return name_; }
  bool IsValid() const { return valid_; }
  void* GetHandleAddress() const { return const_cast<cl_mem*>(&memory_()); }

private:
  eMemoryLocation location_;
  eMemoryDeviceAccess deviceAccess_;
  eMemoryHostAccess hostAccess_;
  std::string name_;
  bool valid_ = false;
  cl_mem_flags flags_ = 0;
  cl::Memory memory_;
};

} // namespace brantok::lumaro::gpu::opencl

#pragma once

#include "gpu/MemoryAccess.h"

#include <cstddef>
#include <string>

namespace brantok::lumaro::gpu {

// A block of device memory; the base of every memory object. A native
// creation failure does not throw: the object exists and IsValid() is false.
// Destroying it releases the native object.
class IBuffer {
public:
  virtual ~IBuffer() = default;

  virtual eMemoryLocation GetMemoryLocation() const = 0;
  virtual eMemoryDeviceAccess GetDeviceAccess() const = 0;
  virtual eMemoryHostAccess GetHostAccess() const = 0;
  virtual std::size_t GetSizeInBytes() const = 0;
  virtual std::string GetName() const = 0;
  virtual bool IsValid() const = 0;
  // Address of the back end's native handle; stable for the object's life.
  virtual void* GetNativeHandle() const = 0;
};

} // namespace brantok::lumaro::gpu

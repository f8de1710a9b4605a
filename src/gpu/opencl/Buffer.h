#pragma once

#include "gpu/IBuffer.h"
#include "gpu/IMemorySource.h"
#include "gpu/opencl/MemoryObject.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace brantok::lumaro::gpu::opencl {

class Context;

// A device buffer, or a buffer over memory owned by an IMemorySource.
class Buffer final : public IBuffer {
public:
  // Throws std::runtime_error for bad settings; a refused creation is logged
  // and leaves the buffer invalid.
  Buffer(Context& context, std::size_t size, eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess,
         eMemoryLocation location, std::optional<std::string> name);
  // Wraps `source` without a native object of its own: read-only, valid, the
  // size and handle of the source.
  Buffer(std::shared_ptr<IMemorySource> source, std::optional<std::string> name);

  eMemoryLocation GetMemoryLocation() const override { return memory_.GetMemoryLocation(); }
  eMemoryDeviceAccess GetDeviceAccess() const override { return memory_.GetDeviceAccess(); }
  eMemoryHostAccess GetHostAccess() const override { return memory_.GetHostAccess(); }
  std::size_t GetSizeInBytes() const override { return size_; }
  std::string GetName() const override { return memory_.GetName(); }
  bool IsValid() const override { return memory_.IsValid(); }
  void* GetNativeHandle() const override;

private:
  std::size_t size_;
  MemoryObject memory_;
  // Declared last so it is dropped before the own handle is released.
  std::shared_ptr<IMemorySource> source_;
};

} // namespace brantok::lumaro::gpu::opencl

#pragma once

#include "gpu/IImage2D.h"
#include "gpu/opencl/MemoryObject.h"

#include <optional>
#include <string>

namespace brantok::lumaro::gpu::opencl {

class Context;

// The renderer's frame store. Created without host data; filled through a
// queue.
class Image2D final : public IImage2D {
public:
  // Throws std::runtime_error for bad settings or a format OpenCL cannot
  // store; a refused creation is logged and leaves the image invalid.
  Image2D(Context& context, const Int2& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
          eMemoryHostAccess hostAccess, eMemoryLocation location, std::optional<std::string> name);

  eMemoryLocation GetMemoryLocation() const override { return memory_.GetMemoryLocation(); }
  eMemoryDeviceAccess GetDeviceAccess() const override { return memory_.GetDeviceAccess(); }
  eMemoryHostAccess GetHostAccess() const override { return memory_.GetHostAccess(); }
  std::size_t GetSizeInBytes() const override;
  std::string GetName() const override { return memory_.GetName(); }
  bool IsValid() const override { return memory_.IsValid(); }
  void* GetNativeHandle() const override { return memory_.GetHandleAddress(); }
  eGpuFormat GetFormat() const override { return format_; }
  Int2 GetDimensions() const override { return size_; }
  // OpenCL images are not shared with a host graphics API.
  void* GetSharedHandle() const override { return nullptr; }

private:
  MemoryObject memory_;
  eGpuFormat format_;
  Int2 size_;
};

} // namespace brantok::lumaro::gpu::opencl

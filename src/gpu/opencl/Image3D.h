#pragma once

#include "gpu/IImage3D.h"
#include "gpu/opencl/MemoryObject.h"

#include <optional>
#include <string>

namespace brantok::lumaro::gpu::opencl {

class Context;

class Image3D final : public IImage3D {
public:
  // Throws std::runtime_error for bad settings or a format OpenCL cannot
  // store; a refused creation is logged and leaves the image invalid. With
  // `hostData` the image starts with a copy of it (or uses it, for
  // HostPointer).
  Image3D(Context& context, const Int3& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
          eMemoryHostAccess hostAccess, eMemoryLocation location, std::optional<std::string> name,
          const void* hostData);

  eMemoryLocation GetMemoryLocation() const override { return memory_.GetMemoryLocation(); }
  eMemoryDeviceAccess GetDeviceAccess() const override { return memory_.GetDeviceAccess(); }
  eMemoryHostAccess GetHostAccess() const override { return memory_.GetHostAccess(); }
  std::size_t GetSizeInBytes() const override;
  std::string GetName() const override { return memory_.GetName(); }
  bool IsValid() const override { return memory_.IsValid(); }
  void* GetNativeHandle() const override { return memory_.GetHandleAddress(); }
  eGpuFormat GetFormat() const override { return format_; }
  Int3 GetDimensions() const override { return size_; }

private:
  MemoryObject memory_;
  eGpuFormat format_;
  Int3 size_;
};

} // namespace brantok::lumaro::gpu::opencl

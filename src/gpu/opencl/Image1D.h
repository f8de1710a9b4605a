#pragma once

#include "gpu/IImage1D.h"
#include "gpu/opencl/MemoryObject.h"

#include <cstdint>
#include <optional>
#include <string>

namespace brantok::lumaro::gpu::opencl {

class Context;

class Image1D final : public IImage1D {
public:
  // Throws std::runtime_error for bad settings or a format OpenCL cannot
  // store; a refused creation is logged and leaves the image invalid. With
  // `hostData` the image starts with a copy of it (or uses it, for
  // HostPointer).
  Image1D(Context& context, std::int32_t width, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
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
  std::int32_t GetDimensions() const override { return width_; }

private:
  MemoryObject memory_;
  eGpuFormat format_;
  std::int32_t width_;
};

} // namespace brantok::lumaro::gpu::opencl

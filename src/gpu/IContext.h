#pragma once

#include "gpu/BuildOption.h"
#include "gpu/GpuFormat.h"
#include "gpu/IBuffer.h"
#include "gpu/IImage1D.h"
#include "gpu/IImage2D.h"
#include "gpu/IImage3D.h"
#include "gpu/IMemorySource.h"
#include "gpu/IProgram.h"
#include "gpu/IQueue.h"
#include "gpu/MemoryAccess.h"
#include "gpu/VectorTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace brantok::lumaro::gpu {

// The root of the GPU layer: one device, and the factory of every other GPU
// object. Factories return owned objects; callers that share one convert it
// to a shared pointer. Objects created here do not refer back to the context.
// A native creation failure is logged and gives an object that is not valid;
// the factories throw only for bad enumeration values and failed program
// builds (ProgramBuildFailedException).
class IContext {
public:
  virtual ~IContext() = default;

  // Identifies the back end (2 for OpenCL).
  virtual std::int32_t GetApi() const = 0;
  virtual std::string GetDeviceVersion() const = 0;
  virtual std::string GetDeviceName() const = 0;
  virtual std::string GetDeviceVendor() const = 0;
  virtual std::string GetDriverVersion() const = 0;
  virtual bool SupportsHalfFloat() const = 0;

  // Bracket work shared with a host graphics API; back ends without such
  // sharing do nothing.
  virtual void BeginSharedWork() = 0;
  virtual void EndSharedWork() = 0;
  // The host graphics device shared with, or null.
  virtual void* GetSharedDevice() const = 0;

  // One queue per context, created on first request. Not synchronised: the
  // first calls must not race.
  virtual std::shared_ptr<IQueue> GetDefaultQueue() = 0;
  // A queue dedicated to transfers, where the back end has one; else empty.
  virtual std::shared_ptr<IQueue> GetTransferQueue() = 0;

  // Builds `source` with `options` and one "-D" per entry of `defines`.
  // Throws ProgramBuildFailedException with the build log when it fails.
  virtual std::unique_ptr<IProgram> CreateProgram(const std::string& source,
                                                  const std::vector<std::string>& kernelNames,
                                                  const std::vector<std::string>& defines,
                                                  std::optional<std::string> name,
                                                  const std::set<eBuildOption>& options) = 0;
  virtual std::unique_ptr<IBuffer> CreateBuffer(std::size_t size, eMemoryDeviceAccess deviceAccess,
                                                eMemoryHostAccess hostAccess, eMemoryLocation location,
                                                std::optional<std::string> name) = 0;
  // A buffer over memory that `source` owns; it keeps `source` alive.
  virtual std::unique_ptr<IBuffer> CreateBuffer(const std::shared_ptr<IMemorySource>& source,
                                                std::optional<std::string> name) = 0;
  virtual std::unique_ptr<IImage3D> CreateImage3D(const Int3& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                                                  eMemoryHostAccess hostAccess, const void* hostData,
                                                  eMemoryLocation location, std::optional<std::string> name) = 0;
  virtual std::unique_ptr<IImage2D> CreateImage2D(const Int2& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                                                  eMemoryHostAccess hostAccess, eMemoryLocation location,
                                                  std::optional<std::string> name) = 0;
  virtual std::unique_ptr<IImage1D> CreateImage1D(std::int32_t width, eGpuFormat format,
                                                  eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess,
                                                  const void* hostData, eMemoryLocation location,
                                                  std::optional<std::string> name) = 0;
  virtual std::unique_ptr<IQueue> CreateQueue(std::optional<std::string> name) = 0;
  // A queue for a native queue made outside this layer.
  virtual std::unique_ptr<IQueue> CreateQueue(void* nativeHandle, std::optional<std::string> name) = 0;

  // Formats usable for 2D images with `access` on this device.
  virtual std::unordered_set<eGpuFormat> GetSupportedImageFormats(eMemoryDeviceAccess access) = 0;
};

} // namespace brantok::lumaro::gpu

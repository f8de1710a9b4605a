#pragma once

#include "gpu/IContext.h"

#include <CL/opencl.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::gpu::opencl {

class Queue;

// The OpenCL context on one device, and the factory of the OpenCL queues,
// programs and memory objects. Objects it creates hold only their own native
// objects (which the OpenCL runtime ties to this context), never a pointer
// back to it. No internal locking.
class Context final : public IContext {
public:
  // Vendors in order of preference; a device whose platform vendor or device
  // name contains an earlier one wins.
  static const std::vector<std::string>& GetVendorPreferences();

  // Picks a GPU by vendor preference and creates a context on it. Without any
  // GPU it falls back to the first OpenCL device of another type (a CPU
  // runtime on build machines). Null, after logging, when there is no device
  // at all or the context cannot be created.
  static std::unique_ptr<IContext> CreateContext();

  // The best-ranked GPU over all platforms, or the first GPU when none is
  // ranked; nothing when there is no GPU.
  static std::optional<cl::Device> SelectDevice(const std::vector<std::string>& preferences);

  // Takes over `context` created on `device`.
  Context(cl::Context context, cl::Device device);
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  const cl::Context& GetNativeContext() const { return context_; }
  const cl::Device& GetNativeDevice() const { return device_; }

  std::int32_t GetApi() const override { return 2; }
  std::string GetDeviceVersion() const override { return deviceVersion_; }
  std::string GetDeviceName() const override { return deviceName_; }
  std::string GetDeviceVendor() const override { return deviceVendor_; }
  std::string GetDriverVersion() const override { return driverVersion_; }
  bool SupportsHalfFloat() const override { return supportsHalfFloat_; }

  void BeginSharedWork() override {}
  void EndSharedWork() override {}
  void* GetSharedDevice() const override { return nullptr; }

  std::shared_ptr<IQueue> GetDefaultQueue() override;
  std::shared_ptr<IQueue> GetTransferQueue() override { return {}; }

  std::unique_ptr<IProgram> CreateProgram(const std::string& source, const std::vector<std::string>& kernelNames,
                                          const std::vector<std::string>& defines, std::optional<std::string> name,
                                          const std::set<eBuildOption>& options) override;
  std::unique_ptr<IBuffer> CreateBuffer(std::size_t size, eMemoryDeviceAccess deviceAccess,
                                        eMemoryHostAccess hostAccess, eMemoryLocation location,
                                        std::optional<std::string> name) override;
  std::unique_ptr<IBuffer> CreateBuffer(const std::shared_ptr<IMemorySource>& source,
                                        std::optional<std::string> name) override;
  std::unique_ptr<IImage3D> CreateImage3D(const Int3& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                                          eMemoryHostAccess hostAccess, const void* hostData, eMemoryLocation location,
                                          std::optional<std::string> name) override;
  std::unique_ptr<IImage2D> CreateImage2D(const Int2& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                                          eMemoryHostAccess hostAccess, eMemoryLocation location,
                                          std::optional<std::string> name) override;
  std::unique_ptr<IImage1D> CreateImage1D(std::int32_t width, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                                          eMemoryHostAccess hostAccess, const void* hostData, eMemoryLocation location,
                                          std::optional<std::string> name) override;
  std::unique_ptr<IQueue> CreateQueue(std::optional<std::string> name) override;
  // The handle is not adopted: the queue carries the name only and must not
  // be used for commands.
  std::unique_ptr<IQueue> CreateQueue(void* nativeHandle, std::optional<std::string> name) override;

  // Throws std::runtime_error for an unknown access value; a failing query
  // gives an empty set.
  std::unordered_set<eGpuFormat> GetSupportedImageFormats(eMemoryDeviceAccess access) override;

private:
  // Destroyed in reverse: the default queue first, the native context last.
  cl::Context context_;
  cl::Device device_;
  std::string deviceVersion_;
  std::string deviceName_;
  std::string deviceVendor_;
  std::string driverVersion_;
  bool supportsHalfFloat_ = false;
  std::shared_ptr<Queue> defaultQueue_;
};

} // namespace brantok::lumaro::gpu::opencl

#include "gpu/opencl/Context.h"

#include "core/Logger.h"
#include "gpu/opencl/Buffer.h"
#include "gpu/opencl/DeviceRanking.h"
#include "gpu/opencl/Image1D.h"
#include "gpu/opencl/Image2D.h"
#include "gpu/opencl/Image3D.h"
#include "gpu/opencl/ImageFormats.h"
#include "gpu/opencl/MemoryFlags.h"
#include "gpu/opencl/Program.h"
#include "gpu/opencl/Queue.h"
#include "gpu/opencl/Runtime.h"

#include <utility>

namespace brantok::lumaro::gpu::opencl {
namespace {

void LogInfo(const std::string& message) { core::Logger::Log(message, core::eLogChannel::Info); }

// A failed query leaves the text empty.
std::string QueryText(const cl::Device& device, cl_device_info info) {
  std::string text;
  if (device.getInfo(info, &text) != CL_SUCCESS) return {};
  return text;
}

std::string QueryText(const cl::Platform& platform, cl_platform_info info) {
  std::string text;
  if (platform.getInfo(info, &text) != CL_SUCCESS) return {};
  return text;
}

struct Candidate {
  cl::Device device;
  DeviceDescription description;
};

// Devices of `type` over all platforms, platform by platform, in the driver's
// order. Failing queries contribute nothing, and a machine without the
// runtime has no devices.
std::vector<Candidate> ListDevices(cl_device_type type) {
  if (!IsRuntimeAvailable()) return {};
  std::vector<cl::Platform> platforms;
  if (cl::Platform::get(&platforms) != CL_SUCCESS) platforms.clear();
  std::vector<Candidate> candidates;
  for (const cl::Platform& platform : platforms) {
    std::vector<cl::Device> devices;
    if (platform.getDevices(type, &devices) != CL_SUCCESS) continue;
    const std::string vendor = QueryText(platform, CL_PLATFORM_VENDOR);
    for (cl::Device& device : devices) {
      const std::string name = QueryText(device, CL_DEVICE_NAME);
      candidates.push_back({std::move(device), {vendor, name}});
    }
  }
  return candidates;
}

// Build machines and CI have no GPU, only a CPU runtime such as PoCL; using
// it keeps the whole GPU path exercised there.
std::optional<cl::Device> SelectFallbackDevice() {
  std::vector<Candidate> candidates = ListDevices(CL_DEVICE_TYPE_ALL);
  if (candidates.empty()) return std::nullopt;
  LogInfo("Falling back to OpenCL device: '" + GetDisplayName(candidates.front().description) + "'");
  return std::move(candidates.front().device);
}

} // namespace

const std::vector<std::string>& Context::GetVendorPreferences() {
  static const std::vector<std::string> preferences{"Nvidia", "GeForce", "AMD", "Radeon", "Intel"};
  return preferences;
}

std::optional<cl::Device> Context::SelectDevice(const std::vector<std::string>& preferences) {
  LogInfo("Enumerating OpenCL GPU devices...");
  std::vector<Candidate> candidates = ListDevices(CL_DEVICE_TYPE_GPU);
  std::vector<DeviceDescription> descriptions;
  for (const Candidate& candidate : candidates) {
    LogInfo("Found OpenCL GPU '" + GetDisplayName(candidate.description) + "'");
    descriptions.push_back(candidate.description);
  }
  const auto chosen = SelectCandidate(descriptions, preferences);
  if (!chosen) return std::nullopt;
  return std::move(candidates[*chosen].device);
}

std::unique_ptr<IContext> Context::CreateContext() {
  std::optional<cl::Device> device = SelectDevice(GetVendorPreferences());
  if (device) {
    LogInfo("Using OpenCL GPU device: '" + QueryText(*device, CL_DEVICE_NAME) + "'");
  } else {
    LogInfo("No OpenCL GPU devices found");
    device = SelectFallbackDevice();
    if (!device) return nullptr;
  }

  const cl_device_id deviceId = (*device)();
  cl_int error = CL_SUCCESS;
  cl_context handle = clCreateContext(nullptr, 1, &deviceId, nullptr, nullptr, &error);
  // The wrapper takes over the returned reference, releasing it on failure.
  cl::Context context(handle, false);
  if (error != CL_SUCCESS) {
    LogInfo("OpenCL Context creation error");
    return nullptr;
  }
  return std::make_unique<Context>(std::move(context), std::move(*device));
}

Context::Context(cl::Context context, cl::Device device) :
    context_(std::move(context)), device_(std::move(device)), deviceVersion_(QueryText(device_, CL_DEVICE_VERSION)),
    deviceName_(QueryText(device_, CL_DEVICE_NAME)), deviceVendor_(QueryText(device_, CL_DEVICE_VENDOR)),
    driverVersion_(QueryText(device_, CL_DRIVER_VERSION)),
    supportsHalfFloat_(QueryText(device_, CL_DEVICE_EXTENSIONS).find("cl_khr_fp16") != std::string::npos) {}

std::shared_ptr<IQueue> Context::GetDefaultQueue() {
  if (!defaultQueue_) defaultQueue_ = std::make_shared<Queue>(*this, "default-queue");
  return defaultQueue_;
}

std::unique_ptr<IProgram> Context::CreateProgram(const std::string& source, const std::vector<std::string>& kernelNames,
                                                 const std::vector<std::string>& defines,
                                                 std::optional<std::string> name,
                                                 const std::set<eBuildOption>& options) {
  return std::make_unique<Program>(*this, source, kernelNames, defines, std::move(name), options);
}

std::unique_ptr<IBuffer> Context::CreateBuffer(std::size_t size, eMemoryDeviceAccess deviceAccess,
                                               eMemoryHostAccess hostAccess, eMemoryLocation location,
                                               std::optional<std::string> name) {
  return std::make_unique<Buffer>(*this, size, deviceAccess, hostAccess, location, std::move(name));
}

std::unique_ptr<IBuffer> Context::CreateBuffer(const std::shared_ptr<IMemorySource>& source,
                                               std::optional<std::string> name) {
  return std::make_unique<Buffer>(source, std::move(name));
}

std::unique_ptr<IImage3D> Context::CreateImage3D(const Int3& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                                                 eMemoryHostAccess hostAccess, const void* hostData,
                                                 eMemoryLocation location, std::optional<std::string> name) {
  return std::make_unique<Image3D>(*this, size, format, deviceAccess, hostAccess, location, std::move(name), hostData);
}

std::unique_ptr<IImage2D> Context::CreateImage2D(const Int2& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                                                 eMemoryHostAccess hostAccess, eMemoryLocation location,
                                                 std::optional<std::string> name) {
  return std::make_unique<Image2D>(*this, size, format, deviceAccess, hostAccess, location, std::move(name));
}

std::unique_ptr<IImage1D> Context::CreateImage1D(std::int32_t width, eGpuFormat format,
                                                 eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess,
                                                 const void* hostData, eMemoryLocation location,
                                                 std::optional<std::string> name) {
  return std::make_unique<Image1D>(*this, width, format, deviceAccess, hostAccess, location, std::move(name), hostData);
}

std::unique_ptr<IQueue> Context::CreateQueue(std::optional<std::string> name) {
  return std::make_unique<Queue>(*this, std::move(name));
}

std::unique_ptr<IQueue> Context::CreateQueue(void*, std::optional<std::string> name) {
  return std::make_unique<Queue>(std::move(name));
}

std::unordered_set<eGpuFormat> Context::GetSupportedImageFormats(eMemoryDeviceAccess access) {
  const cl_mem_flags flags = ToDeviceAccessFlag(access);
  std::vector<cl::ImageFormat> formats;
  if (context_.getSupportedImageFormats(flags, CL_MEM_OBJECT_IMAGE2D, &formats) != CL_SUCCESS) return {};
  std::unordered_set<eGpuFormat> result;
  for (const cl::ImageFormat& format : formats) {
    if (const auto known = FromImageFormat(format)) result.insert(*known);
  }
  return result;
}

} // namespace brantok::lumaro::gpu::opencl

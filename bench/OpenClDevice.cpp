#include "OpenClDevice.h"

#include "gpu/opencl/Context.h"
#include "gpu/opencl/Runtime.h"

#include <CL/opencl.hpp>

namespace brantok::lumaro::bench {
namespace {

template <typename Object>
std::string Text(const Object& object, cl_uint info) {
  std::string text;
  if (object.getInfo(info, &text) != CL_SUCCESS) return "?";
  // OpenCL counts the terminating zero in the length.
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::string TypeName(cl_device_type type) {
  if (type & CL_DEVICE_TYPE_GPU) return "GPU";
  if (type & CL_DEVICE_TYPE_CPU) return "CPU";
  if (type & CL_DEVICE_TYPE_ACCELERATOR) return "accelerator";
  return "other";
}

cl_device_type TypeOf(const cl::Device& device) {
  cl_device_type type = 0;
  if (device.getInfo(CL_DEVICE_TYPE, &type) != CL_SUCCESS) return 0;
  return type;
}

std::string DeviceLine(const cl::Device& device) {
  cl_ulong memory = 0;
  cl_uint units = 0;
  device.getInfo(CL_DEVICE_GLOBAL_MEM_SIZE, &memory);
  device.getInfo(CL_DEVICE_MAX_COMPUTE_UNITS, &units);
  return Text(device, CL_DEVICE_NAME) + " [" + TypeName(TypeOf(device)) + ", " + Text(device, CL_DEVICE_VENDOR) + ", " +
         Text(device, CL_DEVICE_VERSION) + ", driver " + Text(device, CL_DRIVER_VERSION) + ", " +
         std::to_string(units) + " compute units, " + std::to_string(memory >> 20) + " MiB]";
}

std::string PlatformLine(const cl::Platform& platform) {
  return Text(platform, CL_PLATFORM_NAME) + " (" + Text(platform, CL_PLATFORM_VENDOR) + ", " +
         Text(platform, CL_PLATFORM_VERSION) + ")";
}

} // namespace

std::vector<std::string> OpenClDevice::Inventory() {
  std::vector<std::string> lines;
  if (!gpu::opencl::IsRuntimeAvailable()) return lines;
  std::vector<cl::Platform> platforms;
  if (cl::Platform::get(&platforms) != CL_SUCCESS) return lines;
  for (const auto& platform : platforms) {
    lines.push_back("platform: " + PlatformLine(platform));
    std::vector<cl::Device> devices;
    if (platform.getDevices(CL_DEVICE_TYPE_ALL, &devices) != CL_SUCCESS) continue;
    for (const auto& device : devices) lines.push_back("  device: " + DeviceLine(device));
  }
  return lines;
}

std::optional<OpenClDevice::Description> OpenClDevice::Chosen() {
  const auto owner = gpu::opencl::Context::CreateContext();
  const auto* context = dynamic_cast<const gpu::opencl::Context*>(owner.get());
  if (!context) return std::nullopt;
  const cl::Device& device = context->GetNativeDevice();
  cl_platform_id platform = nullptr;
  device.getInfo(CL_DEVICE_PLATFORM, &platform);
  return Description{PlatformLine(cl::Platform(platform, true)) + " / " + DeviceLine(device),
                     (TypeOf(device) & CL_DEVICE_TYPE_GPU) != 0};
}

} // namespace brantok::lumaro::bench

#include "gpu/opencl/Program.h"

#include "core/Logger.h"
#include "gpu/ProgramBuildFailedException.h"
#include "gpu/opencl/Context.h"
#include "gpu/opencl/Extent.h"
#include "gpu/opencl/MemoryFlags.h"
#include "gpu/opencl/Queue.h"

#include <array>
#include <map>
#include <stdexcept>
#include <utility>

namespace brantok::lumaro::gpu::opencl {
namespace {

const std::map<eBuildOption, std::string>& BuildOptionTable() {
  static const std::map<eBuildOption, std::string> table{{eBuildOption::FastRelaxedMath, "-cl-fast-relaxed-math"},
                                                         {eBuildOption::KernelArgumentInfo, "-cl-kernel-arg-info"}};
  return table;
}

std::string ReadBuildLog(const cl::Program& program, const cl::Device& device) {
  std::size_t size = 0;
  if (clGetProgramBuildInfo(program(), device(), CL_PROGRAM_BUILD_LOG, 0, nullptr, &size) != CL_SUCCESS || size == 0)
    return {};
  std::string log(size, '\0');
  if (clGetProgramBuildInfo(program(), device(), CL_PROGRAM_BUILD_LOG, size, log.data(), nullptr) != CL_SUCCESS)
    return {};
  if (log.back() == '\0') log.pop_back();
  return log;
}

eArgumentAddress ToAddress(cl_kernel_arg_address_qualifier qualifier) {
  switch (qualifier) {
  case CL_KERNEL_ARG_ADDRESS_GLOBAL:
    return eArgumentAddress::Global;
  case CL_KERNEL_ARG_ADDRESS_CONSTANT:
    return eArgumentAddress::Constant;
  case CL_KERNEL_ARG_ADDRESS_LOCAL:
    return eArgumentAddress::Local;
  default:
    return eArgumentAddress::Private;
  }
}

eArgumentAccess ToAccess(cl_kernel_arg_access_qualifier qualifier) {
  switch (qualifier) {
  case CL_KERNEL_ARG_ACCESS_READ_ONLY:
    return eArgumentAccess::ReadOnly;
  case CL_KERNEL_ARG_ACCESS_WRITE_ONLY:
    return eArgumentAccess::WriteOnly;
  case CL_KERNEL_ARG_ACCESS_READ_WRITE:
    return eArgumentAccess::ReadWrite;
  default:
    return eArgumentAccess::None;
  }
}

void LogError(const std::string& message) { core::Logger::Log(message, core::eLogChannel::Error); }

} // namespace

std::string Program::MakeBuildOptions(const std::set<eBuildOption>& options, const std::vector<std::string>& defines) {
  std::string result;
  bool first = true;
  for (const eBuildOption option : options) {
    if (!first) result += ' ';
    first = false;
    const auto found = BuildOptionTable().find(option);
    if (found != BuildOptionTable().end()) result += found->second;
  }
  for (const std::string& define : defines) result += " -D " + define;
  return result;
}

Program::Program(Context& context, const std::string& source, const std::vector<std::string>&,
                 const std::vector<std::string>& defines, std::optional<std::string> name,
                 const std::set<eBuildOption>& options) :
    name_(std::move(name).value_or(std::string())) {
  const std::string buildOptions = MakeBuildOptions(options, defines);

  cl_int error = CL_SUCCESS;
  {
    const cl::Context nativeContext = context.GetNativeContext();
    const char* text = source.c_str();
    const std::size_t length = source.size();
    program_ = cl::Program(clCreateProgramWithSource(nativeContext(), 1, &text, &length, &error), false);
  }
  if (error != CL_SUCCESS) LogError("OpenCL program creation failed");

  const cl::Device& device = context.GetNativeDevice();
  const cl_device_id deviceId = device();
  const cl_int buildError = clBuildProgram(program_(), 1, &deviceId, buildOptions.c_str(), nullptr, nullptr);
  const std::string buildLog = ReadBuildLog(program_, device);

  const bool built = buildError == CL_SUCCESS;
  std::string report = "OpenCL program '" + name_ + (built ? "' built" : "' failed to build");
  if (!buildLog.empty()) report += ":\n" + buildLog;
  core::Logger::Log(report, built ? core::eLogChannel::Info : core::eLogChannel::Error);
  if (!built) throw ProgramBuildFailedException(buildLog);

  cl_uint count = 0;
  error = clCreateKernelsInProgram(program_(), 0, nullptr, &count);
  std::vector<cl_kernel> created(count);
  if (error == CL_SUCCESS && count > 0) error = clCreateKernelsInProgram(program_(), count, created.data(), nullptr);
  if (error != CL_SUCCESS) {
    LogError("CL program kernel creation failed");
    return;
  }
  for (cl_kernel handle : created) {
    // The wrapper takes over the reference that the creation call returned.
    cl::Kernel kernel(handle, false);
    std::string kernelName;
    kernel.getInfo(CL_KERNEL_FUNCTION_NAME, &kernelName);
    kernels_[kernelName] = std::move(kernel);
    kernelNames_.push_back(kernelName);
  }
}

const cl::Kernel& Program::FindKernel(const std::string& kernel) const {
  const auto found = kernels_.find(kernel);
  // The message callers have always seen for an unknown kernel name.
  if (found == kernels_.end()) throw std::out_of_range("invalid unordered_map<K, T> key");
  return found->second;
}

std::uint32_t Program::GetArgumentCount(const std::string& kernel) const {
  cl_uint count = 0;
  if (FindKernel(kernel).getInfo(CL_KERNEL_NUM_ARGS, &count) != CL_SUCCESS) return 0;
  return count;
}

std::optional<std::vector<KernelArgument>> Program::GetArgumentInfo(const std::string& kernel) const {
  const cl::Kernel& found = FindKernel(kernel);
  cl_uint count = 0;
  if (found.getInfo(CL_KERNEL_NUM_ARGS, &count) != CL_SUCCESS) return std::nullopt;
  std::vector<KernelArgument> arguments(count);
  for (cl_uint index = 0; index < count; ++index) {
    cl_kernel_arg_address_qualifier address = 0;
    cl_kernel_arg_access_qualifier access = 0;
    auto& argument = arguments[index];
    // CL_KERNEL_ARG_INFO_NOT_AVAILABLE and older drivers both land here.
    if (found.getArgInfo(index, CL_KERNEL_ARG_ADDRESS_QUALIFIER, &address) != CL_SUCCESS ||
        found.getArgInfo(index, CL_KERNEL_ARG_ACCESS_QUALIFIER, &access) != CL_SUCCESS ||
        found.getArgInfo(index, CL_KERNEL_ARG_TYPE_NAME, &argument.typeName) != CL_SUCCESS) {
      return std::nullopt;
    }
    found.getArgInfo(index, CL_KERNEL_ARG_NAME, &argument.name);
    // The bindings keep the terminating zero of some drivers' strings.
    for (auto* text : {&argument.typeName, &argument.name}) {
      while (!text->empty() && text->back() == '\0') text->pop_back();
    }
    argument.address = ToAddress(address);
    argument.access = ToAccess(access);
  }
  return arguments;
}

bool Program::Run(IQueue& queue, const std::string& kernel, const Int2& globalSize, const std::optional<Int2>& offset) {
  const auto* openClQueue = dynamic_cast<const Queue*>(&queue);
  const auto found = kernels_.find(kernel);
  cl_int error = CL_INVALID_KERNEL_NAME;
  if (openClQueue && found != kernels_.end()) {
    const std::array<std::size_t, 2> global{ToSize(globalSize.x), ToSize(globalSize.y)};
    const Int2 start = offset.value_or(Int2{});
    const std::array<std::size_t, 2> globalOffset{ToSize(start.x), ToSize(start.y)};
    // No local size: the driver picks the work-group shape.
    error = clEnqueueNDRangeKernel(openClQueue->GetNativeQueue(), found->second(), 2, globalOffset.data(),
                                   global.data(), nullptr, 0, nullptr, nullptr);
  }
  if (error != CL_SUCCESS) LogError("Error running OpenCL kernel: '" + kernel + "'");
  return error == CL_SUCCESS;
}

bool Program::SetBytes(const std::string& kernel, std::uint32_t index, std::size_t size, const void* bytes) {
  const cl::Kernel& found = FindKernel(kernel);
  if (clSetKernelArg(found(), index, size, bytes) == CL_SUCCESS) return true;
  LogError("Failed to set OpenCL kernel arugment for kernel: '" + kernel + "'");
  return false;
}

bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, IBuffer& memory) {
  const cl_mem handle = GetNativeMemory(memory);
  return SetBytes(kernel, index, sizeof(handle), &handle);
}

// Matrices arrive row-major and are uploaded as the float16 that kernels read
// column by column, so rows and columns are exchanged.
bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, const Float4x4& value) {
  std::array<float, 16> bytes{};
  for (std::size_t r = 0; r < 4; ++r)
    for (std::size_t c = 0; c < 4; ++c) bytes[4 * r + c] = value.m[4 * c + r];
  return SetBytes(kernel, index, sizeof(bytes), bytes.data());
}

// A 3x3 matrix goes up as the 4x4 affine matrix with the same linear part.
bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, const Float3x3& value) {
  std::array<float, 16> bytes{};
  for (std::size_t r = 0; r < 3; ++r)
    for (std::size_t c = 0; c < 3; ++c) bytes[4 * r + c] = value.m[3 * c + r];
  bytes[15] = 1.0f;
  return SetBytes(kernel, index, sizeof(bytes), bytes.data());
}

bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, const Float4& value) {
  const std::array<float, 4> bytes{value.x, value.y, value.z, value.w};
  return SetBytes(kernel, index, sizeof(bytes), bytes.data());
}

// A float3 argument occupies four floats on the device.
bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, const Float3& value) {
  const std::array<float, 4> bytes{value.x, value.y, value.z, 0.0f};
  return SetBytes(kernel, index, sizeof(bytes), bytes.data());
}

bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, const Float2& value) {
  const std::array<float, 2> bytes{value.x, value.y};
  return SetBytes(kernel, index, sizeof(bytes), bytes.data());
}

bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, const Int2& value) {
  const std::array<std::int32_t, 2> bytes{value.x, value.y};
  return SetBytes(kernel, index, sizeof(bytes), bytes.data());
}

bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, std::int32_t value) {
  return SetBytes(kernel, index, sizeof(value), &value);
}

bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, std::uint32_t value) {
  return SetBytes(kernel, index, sizeof(value), &value);
}

bool Program::SetArgument(IQueue&, const std::string& kernel, std::uint32_t index, float value) {
  return SetBytes(kernel, index, sizeof(value), &value);
}

} // namespace brantok::lumaro::gpu::opencl

#include "HandWrittenPipeline.h"

#include "ae/SwizzleKernel.h"
#include "gpu/opencl/Context.h"

#include <CL/cl.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace brantok::lumaro::bench {
namespace {

constexpr const char* BuildOptions = "-cl-fast-relaxed-math";

void Check(cl_int error, const char* what) {
  if (error != CL_SUCCESS) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(error));
}

bool Supports(cl_context context, const cl_image_format& wanted) {
  cl_uint count = 0;
  Check(clGetSupportedImageFormats(context, CL_MEM_READ_WRITE, CL_MEM_OBJECT_IMAGE2D, 0, nullptr, &count),
        "clGetSupportedImageFormats");
  std::vector<cl_image_format> formats(count);
  Check(clGetSupportedImageFormats(context, CL_MEM_READ_WRITE, CL_MEM_OBJECT_IMAGE2D, count, formats.data(), nullptr),
        "clGetSupportedImageFormats");
  for (const auto& format : formats) {
    if (format.image_channel_order == wanted.image_channel_order &&
        format.image_channel_data_type == wanted.image_channel_data_type) {
      return true;
    }
  }
  return false;
}

cl_program Build(cl_context context, cl_device_id device, const std::string& source) {
  const char* text = source.c_str();
  const std::size_t length = source.size();
  cl_int error = CL_SUCCESS;
  cl_program program = clCreateProgramWithSource(context, 1, &text, &length, &error);
  Check(error, "clCreateProgramWithSource");
  Check(clBuildProgram(program, 1, &device, BuildOptions, nullptr, nullptr), "clBuildProgram");
  return program;
}

} // namespace

struct HandWrittenPipeline::Native {
  std::unique_ptr<gpu::IContext> owner;
  cl_context context = nullptr;
  cl_command_queue queue = nullptr;
  cl_program program = nullptr;
  cl_kernel kernel = nullptr;
  cl_program swizzleProgram = nullptr;
  cl_kernel swizzle = nullptr;
  cl_mem first = nullptr;  // direct: input; swizzle: the frame as written, then the effect's output
  cl_mem second = nullptr; // direct: output; swizzle: the frame in true order, then the result
  std::array<std::size_t, 3> region{};
  std::size_t pitch = 0;

  ~Native() {
    if (first) clReleaseMemObject(first);
    if (second) clReleaseMemObject(second);
    if (swizzle) clReleaseKernel(swizzle);
    if (swizzleProgram) clReleaseProgram(swizzleProgram);
    if (kernel) clReleaseKernel(kernel);
    if (program) clReleaseProgram(program);
    if (queue) clReleaseCommandQueue(queue);
  }

  void Launch(cl_kernel which) {
    const std::array<std::size_t, 2> global{region[0], region[1]};
    Check(clEnqueueNDRangeKernel(queue, which, 2, nullptr, global.data(), nullptr, 0, nullptr, nullptr),
          "clEnqueueNDRangeKernel");
  }

  void Swizzle(cl_mem from, cl_mem to) {
    Check(clSetKernelArg(swizzle, 0, sizeof from, &from), "clSetKernelArg");
    Check(clSetKernelArg(swizzle, 1, sizeof to, &to), "clSetKernelArg");
    Launch(swizzle);
  }

  void Effect(cl_mem from, cl_mem to, const Arguments& arguments) {
    Check(clSetKernelArg(kernel, 0, sizeof from, &from), "clSetKernelArg");
    Check(clSetKernelArg(kernel, 1, sizeof to, &to), "clSetKernelArg");
    Check(clSetKernelArg(kernel, 2, sizeof arguments.time, &arguments.time), "clSetKernelArg");
    Check(clSetKernelArg(kernel, 3, sizeof arguments.frame, &arguments.frame), "clSetKernelArg");
    Check(clSetKernelArg(kernel, 4, sizeof arguments.duration, &arguments.duration), "clSetKernelArg");
    Check(clSetKernelArg(kernel, 5, sizeof arguments.amount, &arguments.amount), "clSetKernelArg");
    Check(clSetKernelArg(kernel, 6, sizeof arguments.tint, arguments.tint), "clSetKernelArg");
    Launch(kernel);
  }
};

HandWrittenPipeline::HandWrittenPipeline(const std::string& kernelSource, const std::string& kernelName,
                                         std::int32_t width, std::int32_t height, bool floatPixels) :
    native_(std::make_unique<Native>()) {
  auto& n = *native_;
  n.owner = gpu::opencl::Context::CreateContext();
  const auto* context = dynamic_cast<const gpu::opencl::Context*>(n.owner.get());
  if (!context) throw std::runtime_error("no OpenCL context");
  n.context = context->GetNativeContext()();
  cl_device_id device = context->GetNativeDevice()();

  cl_int error = CL_SUCCESS;
  n.queue = clCreateCommandQueue(n.context, device, 0, &error);
  Check(error, "clCreateCommandQueue");
  n.program = Build(n.context, device, kernelSource);
  n.kernel = clCreateKernel(n.program, kernelName.c_str(), &error);
  Check(error, "clCreateKernel");

  const cl_channel_type type = floatPixels ? CL_FLOAT : CL_UNORM_INT8;
  const bool direct = Supports(n.context, {CL_BGRA, type});
  if (!direct) {
    n.swizzleProgram = Build(n.context, device, ae::SwizzleKernelSource);
    n.swizzle = clCreateKernel(n.swizzleProgram, ae::SwizzleKernelName, &error);
    Check(error, "clCreateKernel");
  }
  const cl_image_format format{direct ? static_cast<cl_channel_order>(CL_BGRA) : static_cast<cl_channel_order>(CL_RGBA),
                               type};
  cl_image_desc desc{};
  desc.image_type = CL_MEM_OBJECT_IMAGE2D;
  desc.image_width = static_cast<std::size_t>(width);
  desc.image_height = static_cast<std::size_t>(height);
  n.first = clCreateImage(n.context, direct ? CL_MEM_READ_ONLY : CL_MEM_READ_WRITE, &format, &desc, nullptr, &error);
  Check(error, "clCreateImage");
  n.second = clCreateImage(n.context, direct ? CL_MEM_WRITE_ONLY : CL_MEM_READ_WRITE, &format, &desc, nullptr, &error);
  Check(error, "clCreateImage");
  n.region = {desc.image_width, desc.image_height, 1};
  n.pitch = desc.image_width * (floatPixels ? 16 : 4);
}

HandWrittenPipeline::~HandWrittenPipeline() = default;

bool HandWrittenPipeline::Swizzles() const { return native_->swizzle != nullptr; }

void HandWrittenPipeline::Render(const void* input, void* output, const Arguments& arguments) {
  auto& n = *native_;
  constexpr std::array<std::size_t, 3> origin{0, 0, 0};
  Check(clEnqueueWriteImage(n.queue, n.first, CL_TRUE, origin.data(), n.region.data(), n.pitch, 0, input, 0, nullptr,
                            nullptr),
        "clEnqueueWriteImage");
  if (n.swizzle) {
    n.Swizzle(n.first, n.second);
    n.Effect(n.second, n.first, arguments);
    n.Swizzle(n.first, n.second);
  } else {
    n.Effect(n.first, n.second, arguments);
  }
  Check(clEnqueueReadImage(n.queue, n.second, CL_TRUE, origin.data(), n.region.data(), n.pitch, 0, output, 0, nullptr,
                           nullptr),
        "clEnqueueReadImage");
}

void HandWrittenPipeline::Transfer(const void* input, void* output) {
  auto& n = *native_;
  constexpr std::array<std::size_t, 3> origin{0, 0, 0};
  Check(clEnqueueWriteImage(n.queue, n.first, CL_TRUE, origin.data(), n.region.data(), n.pitch, 0, input, 0, nullptr,
                            nullptr),
        "clEnqueueWriteImage");
  Check(clEnqueueReadImage(n.queue, n.first, CL_TRUE, origin.data(), n.region.data(), n.pitch, 0, output, 0, nullptr,
                           nullptr),
        "clEnqueueReadImage");
}

} // namespace brantok::lumaro::bench

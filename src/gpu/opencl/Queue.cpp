#include "gpu/opencl/Queue.h"

#include "core/Logger.h"
#include "gpu/opencl/Context.h"
#include "gpu/opencl/Extent.h"
#include "gpu/opencl/MemoryFlags.h"

#include <utility>

namespace brantok::lumaro::gpu::opencl {
namespace {

using Triple = std::array<std::size_t, 3>;

constexpr Triple kZeroOrigin{0, 0, 0};

Triple RegionOf(const IImage3D& image) {
  const Int3 size = image.GetDimensions();
  return {ToSize(size.x), ToSize(size.y), ToSize(size.z)};
}

Triple RegionOf(const IImage2D& image) {
  const Int2 size = image.GetDimensions();
  return {ToSize(size.x), ToSize(size.y), 1};
}

Triple RegionOf(const IImage1D& image) { return {ToSize(image.GetDimensions()), 1, 1}; }

void LogInfo(const char* message) { core::Logger::Log(message, core::eLogChannel::Info); }

} // namespace

Queue::Queue(Context& context, std::optional<std::string> name) : name_(std::move(name).value_or(std::string())) {
  const cl::Context nativeContext = context.GetNativeContext();
  const cl::Device device = context.GetNativeDevice();
  cl_int error = CL_SUCCESS;
  // In order and without profiling: transfers and launches run in the order
  // they are enqueued, which the blocking reads rely on.
  cl_command_queue handle = clCreateCommandQueue(nativeContext(), device(), 0, &error);
  queue_ = cl::CommandQueue(handle, false);
  if (error != CL_SUCCESS) LogInfo("CL command queue creation failed");
}

Queue::Queue(std::optional<std::string> name) : name_(std::move(name).value_or(std::string())) {}

bool Queue::Write(const IImage& image, const Triple& origin, const Triple& region, std::size_t rowPitch,
                  const void* data) {
  const cl_int error = clEnqueueWriteImage(queue_(), GetNativeMemory(image), CL_TRUE, origin.data(), region.data(),
                                           rowPitch, 0, data, 0, nullptr, nullptr);
  if (error != CL_SUCCESS) LogInfo("CL enqueue write image failed");
  return error == CL_SUCCESS;
}

bool Queue::Read(const IImage& image, const Triple& region, std::size_t rowPitch, void* data) {
  const cl_int error = clEnqueueReadImage(queue_(), GetNativeMemory(image), CL_TRUE, kZeroOrigin.data(), region.data(),
                                          rowPitch, 0, data, 0, nullptr, nullptr);
  if (error != CL_SUCCESS) LogInfo("CL enqueue read image failed");
  return error == CL_SUCCESS;
}

bool Queue::WriteImage(IImage3D& image, const std::vector<std::uint8_t>& data) {
  return Write(image, kZeroOrigin, RegionOf(image), 0, data.data());
}

bool Queue::WriteImage(IImage2D& image, const Int2& origin, const Int2& region, const void* data, std::size_t offset,
                       const std::optional<std::size_t>& rowPitch) {
  return Write(image, {ToSize(origin.x), ToSize(origin.y), 0}, {ToSize(region.x), ToSize(region.y), 1},
               rowPitch.value_or(0), static_cast<const std::uint8_t*>(data) + offset);
}

bool Queue::WriteImage(IImage2D& image, const Int2& origin, const Int2& region, const std::vector<std::uint8_t>& data,
                       std::size_t offset, const std::optional<std::size_t>& rowPitch) {
  return WriteImage(image, origin, region, static_cast<const void*>(data.data()), offset, rowPitch);
}

bool Queue::WriteImage(IImage1D& image, const std::vector<std::uint8_t>& data) {
  return Write(image, kZeroOrigin, RegionOf(image), 0, data.data());
}

bool Queue::FillImage(IImage2D& image, const Float4& color) {
  // OpenCL converts the four floats to the image's own format.
  const cl_float4 fill{{color.x, color.y, color.z, color.w}};
  const Triple region = RegionOf(image);
  const cl_int error = clEnqueueFillImage(queue_(), GetNativeMemory(image), &fill, kZeroOrigin.data(), region.data(), 0,
                                          nullptr, nullptr);
  if (error != CL_SUCCESS) LogInfo("CL enqueue fill image failed");
  return error == CL_SUCCESS;
}

bool Queue::ReadBuffer(IBuffer& buffer, std::vector<std::uint8_t>& data, const std::optional<std::size_t>& size) {
  return ReadBuffer(buffer, static_cast<void*>(data.data()), size);
}

bool Queue::ReadBuffer(IBuffer& buffer, void* data, const std::optional<std::size_t>& size) {
  const cl_int error = clEnqueueReadBuffer(queue_(), GetNativeMemory(buffer), CL_TRUE, 0,
                                           size.value_or(buffer.GetSizeInBytes()), data, 0, nullptr, nullptr);
  if (error != CL_SUCCESS) LogInfo("CL enqueue read buffer failed");
  return error == CL_SUCCESS;
}

bool Queue::ReadImage(IImage3D& image, std::vector<std::uint8_t>& data) {
  return Read(image, RegionOf(image), 0, data.data());
}

bool Queue::ReadImage(IImage2D& image, void* data, const std::optional<std::size_t>& rowPitch) {
  return Read(image, RegionOf(image), rowPitch.value_or(0), data);
}

bool Queue::ReadImage(IImage2D& image, std::vector<std::uint8_t>& data) {
  return Read(image, RegionOf(image), 0, data.data());
}

bool Queue::ReadImage(IImage1D& image, std::vector<std::uint8_t>& data) {
  return Read(image, RegionOf(image), 0, data.data());
}

// Errors of the synchronisation calls are not reported: a broken queue
// already shows in the transfers that follow.
void Queue::EnqueueBarrier() { clEnqueueBarrierWithWaitList(queue_(), 0, nullptr, nullptr); }

void Queue::Flush() { clFlush(queue_()); }

void Queue::Finish() {
  clFlush(queue_());
  clFinish(queue_());
}

} // namespace brantok::lumaro::gpu::opencl

// The context, and the images, buffers and transfers it makes, on the
// machine's OpenCL device.
#include "gpu/opencl/Context.h"
#include "gpu/opencl/Queue.h"

#include "LogCapture.h"
#include "SharedContext.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <stdexcept>
#include <thread>

namespace brantok::lumaro::gpu::opencl {
namespace {

using core::eLogChannel;
using test::NativeMemory;
using test::SharedContext;
using test::SharedQueue;
using Bytes = std::vector<std::uint8_t>;

Bytes Ramp(std::size_t count) {
  Bytes bytes(count);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
  return bytes;
}

cl_mem_flags FlagsOf(const IBuffer& memory) {
  cl_mem_flags flags = 0;
  EXPECT_EQ(clGetMemObjectInfo(NativeMemory(memory), CL_MEM_FLAGS, sizeof(flags), &flags, nullptr), CL_SUCCESS);
  return flags;
}

std::string CreationError(eGpuFormat format, int deviceAccess, int hostAccess, int location) {
  try {
    SharedContext().CreateImage2D({4, 4}, format, static_cast<eMemoryDeviceAccess>(deviceAccess),
                                  static_cast<eMemoryHostAccess>(hostAccess), static_cast<eMemoryLocation>(location),
                                  std::nullopt);
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "created";
}

TEST(ContextTest, CreationReportsTheSearchAndTheChosenDevice) {
  const lumaro::test::LogCapture log;
  const auto context = Context::CreateContext();
  ASSERT_NE(context, nullptr) << "this machine has no OpenCL device";
  EXPECT_EQ(context->GetApi(), 2);
  EXPECT_TRUE(context->GetDeviceVersion().starts_with("OpenCL ")) << context->GetDeviceVersion();

  const auto entries = log.Entries();
  ASSERT_GE(entries.size(), 2u);
  for (const auto& [channel, line] : entries) EXPECT_EQ(channel, eLogChannel::Info) << line;
  EXPECT_EQ(entries.front().second, "Enumerating OpenCL GPU devices...");
  const bool hasGpu = log.Count("Found OpenCL GPU '") > 0;
  if (hasGpu) {
    EXPECT_EQ(entries.back().second, "Using OpenCL GPU device: '" + context->GetDeviceName() + "'");
  } else {
    // Machines without a GPU (PoCL on build machines) use any other device.
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].second, "No OpenCL GPU devices found");
    // Named by its platform's vendor and its own name.
    const auto device = dynamic_cast<Context&>(*context).GetNativeDevice();
    const auto vendor = cl::Platform(device.getInfo<CL_DEVICE_PLATFORM>()).getInfo<CL_PLATFORM_VENDOR>();
    EXPECT_EQ(entries[2].second, "Falling back to OpenCL device: '" + vendor + " " + context->GetDeviceName() + "'");
  }
}

TEST(ContextTest, SupportedFormatsAreCreatableCanonicalValuesForAKnownAccess) {
  Context& context = test::SharedContext();
  for (const auto access : {eMemoryDeviceAccess::Read, eMemoryDeviceAccess::Write, eMemoryDeviceAccess::ReadWrite}) {
    const auto formats = context.GetSupportedImageFormats(access);
    // Every conformant image device supports these two.
    EXPECT_TRUE(formats.contains(eGpuFormat::RGBA8));
    EXPECT_TRUE(formats.contains(eGpuFormat::RGBA32F));
    EXPECT_FALSE(formats.contains(eGpuFormat::BGRX8));
  }
  try {
    context.GetSupportedImageFormats(static_cast<eMemoryDeviceAccess>(3));
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unknown eMemoryDeviceAccess setting");
  }
}

TEST(MemoryTest, PaddedEightBitFormatUsesBgraOrder) {
  const auto image = SharedContext().CreateImage2D({8, 8}, eGpuFormat::BGRX8, eMemoryDeviceAccess::Write,
                                                   eMemoryHostAccess::Read, eMemoryLocation::Device, std::nullopt);
  ASSERT_TRUE(image->IsValid());
  cl_image_format format{};
  ASSERT_EQ(clGetImageInfo(NativeMemory(*image), CL_IMAGE_FORMAT, sizeof(format), &format, nullptr), CL_SUCCESS);
  EXPECT_EQ(format.image_channel_order, static_cast<cl_channel_order>(CL_BGRA));
  EXPECT_EQ(FlagsOf(*image), CL_MEM_WRITE_ONLY | CL_MEM_HOST_READ_ONLY);
}

TEST(MemoryTest, SettingsAreCheckedDeviceAccessThenHostAccessThenLocationThenFormat) {
  const lumaro::test::LogCapture log;
  EXPECT_EQ(CreationError(eGpuFormat::ARGB16, 3, 9, 7), "Unknown eMemoryDeviceAccess setting");
  EXPECT_EQ(CreationError(eGpuFormat::ARGB16, 0, 4, 7), "Unknown MemoryHostAccess setting");
  EXPECT_EQ(CreationError(eGpuFormat::ARGB16, 0, 0, 3), "Unknown eMemoryLocation setting");
  // Formats without an OpenCL layout are refused before any native call.
  for (const auto format : {eGpuFormat::ARGB16, eGpuFormat::BGRX16, eGpuFormat::ARGB32F, static_cast<eGpuFormat>(17)})
    EXPECT_EQ(CreationError(format, 0, 0, 0), "Unknown GPU format") << static_cast<int>(format);
  EXPECT_THROW(SharedContext().CreateBuffer(16, eMemoryDeviceAccess::Read, static_cast<eMemoryHostAccess>(4),
                                            eMemoryLocation::Device, std::nullopt),
               std::runtime_error);
  EXPECT_TRUE(log.Lines().empty());
}

TEST(MemoryTest, ImagesWithHostDataStartWithACopyOfIt) {
  Context& context = SharedContext();
  const Bytes pixels = Ramp(2 * 2 * 2 * 4);

  const auto allocated =
      context.CreateImage3D({2, 2, 2}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::ReadWrite,
                            pixels.data(), eMemoryLocation::HostAllocated, std::nullopt);
  ASSERT_TRUE(allocated->IsValid());
  EXPECT_EQ(FlagsOf(*allocated), CL_MEM_READ_ONLY | CL_MEM_ALLOC_HOST_PTR | CL_MEM_COPY_HOST_PTR);
  std::vector<std::uint8_t> back(pixels.size());
  test::SharedQueue().ReadImage(*allocated, back);
  EXPECT_EQ(back, pixels);

  const auto line = context.CreateImage1D(4, eGpuFormat::R16, eMemoryDeviceAccess::Read, eMemoryHostAccess::ReadWrite,
                                          pixels.data(), eMemoryLocation::Device, std::nullopt);
  ASSERT_TRUE(line->IsValid());
  EXPECT_EQ(line->GetSizeInBytes(), 8u);
  std::vector<std::uint8_t> lineBack(8);
  test::SharedQueue().ReadImage(*line, lineBack);
  EXPECT_EQ(lineBack, std::vector<std::uint8_t>(pixels.begin(), pixels.begin() + 8));
}

// A reference too many keeps device memory alive after the wrapper is gone.
TEST(MemoryTest, WrappersHoldTheOneReferenceTheirCreationReturned) {
  const auto count = [](auto info, auto handle, cl_uint query) {
    cl_uint references = 0;
    EXPECT_EQ(info(handle, query, sizeof(references), &references, nullptr), CL_SUCCESS);
    return references;
  };
  auto buffer = SharedContext().CreateBuffer(64, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::ReadWrite,
                                             eMemoryLocation::Device, std::nullopt);
  EXPECT_EQ(count(clGetMemObjectInfo, NativeMemory(*buffer), CL_MEM_REFERENCE_COUNT), 1u);
  const Queue queue(SharedContext(), std::nullopt);
  EXPECT_EQ(count(clGetCommandQueueInfo, queue.GetNativeQueue(), CL_QUEUE_REFERENCE_COUNT), 1u);
  const auto context = Context::CreateContext();
  EXPECT_EQ(count(clGetContextInfo, static_cast<Context&>(*context).GetNativeContext()(), CL_CONTEXT_REFERENCE_COUNT),
            1u);

  // A buffer over someone else's memory hands out their handle and is usable.
  struct Source final : IMemorySource {
    std::shared_ptr<IBuffer> owner;
    std::size_t GetSizeInBytes() const override { return owner->GetSizeInBytes(); }
    void* GetNativeHandle() const override { return owner->GetNativeHandle(); }
  };
  auto source = std::make_shared<Source>();
  source->owner = std::move(buffer);
  const auto wrapped = SharedContext().CreateBuffer(source, std::string("wrapped"));
  EXPECT_TRUE(wrapped->IsValid());
  EXPECT_EQ(wrapped->GetNativeHandle(), source->owner->GetNativeHandle());
  EXPECT_EQ(wrapped->GetSizeInBytes(), 64u);
  EXPECT_EQ(wrapped->GetDeviceAccess(), eMemoryDeviceAccess::Read);
}

// Finish returns once every queued command has run, here one gated by another thread.
TEST(QueueTest, FinishWaitsForEveryQueuedCommand) {
  Queue queue(SharedContext(), std::nullopt);
  cl_event gate = clCreateUserEvent(SharedContext().GetNativeContext()(), nullptr);
  cl_event marker = nullptr;
  ASSERT_EQ(clEnqueueMarkerWithWaitList(queue.GetNativeQueue(), 1, &gate, &marker), CL_SUCCESS);
  std::thread opener([gate] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    clSetUserEventStatus(gate, CL_COMPLETE);
  });
  queue.Finish();
  cl_int status = CL_QUEUED;
  clGetEventInfo(marker, CL_EVENT_COMMAND_EXECUTION_STATUS, sizeof status, &status, nullptr);
  opener.join();
  EXPECT_EQ(status, CL_COMPLETE);
  clReleaseEvent(marker);
  clReleaseEvent(gate);
}

TEST(QueueTest, RectangleIsWrittenAtItsOriginFromTheGivenOffset) {
  const auto image = SharedContext().CreateImage2D({4, 3}, eGpuFormat::R8, eMemoryDeviceAccess::ReadWrite,
                                                   eMemoryHostAccess::ReadWrite, eMemoryLocation::Device, std::nullopt);
  SharedQueue().FillImage(*image, {0.0f, 0.0f, 0.0f, 0.0f});
  const Bytes source{99, 99, 99, 10, 11, 12, 13};
  // Two rows of two pixels, read with a pitch of 2 after skipping 3 bytes.
  SharedQueue().WriteImage(*image, {1, 1}, {2, 2}, source, 3, std::size_t{2});
  Bytes back(12);
  SharedQueue().ReadImage(*image, back);
  EXPECT_EQ(back, (Bytes{0, 0, 0, 0, 0, 10, 11, 0, 0, 12, 13, 0}));
}

TEST(QueueTest, TransfersOnARefusedImageAreLoggedAndReturn) {
  const lumaro::test::LogCapture log;
  const auto image = SharedContext().CreateImage2D({0, 0}, eGpuFormat::RGBA8, eMemoryDeviceAccess::ReadWrite,
                                                   eMemoryHostAccess::ReadWrite, eMemoryLocation::Device, std::nullopt);
  EXPECT_FALSE(image->IsValid());
  Bytes data(16);
  SharedQueue().WriteImage(*image, {0, 0}, {1, 1}, data, 0, std::nullopt);
  SharedQueue().FillImage(*image, {});
  SharedQueue().ReadImage(*image, data);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"CL Image2D creation failed", "CL enqueue write image failed",
                                                   "CL enqueue fill image failed", "CL enqueue read image failed"}));
  for (const auto& entry : log.Entries()) EXPECT_EQ(entry.first, core::eLogChannel::Info);
}

} // namespace
} // namespace brantok::lumaro::gpu::opencl

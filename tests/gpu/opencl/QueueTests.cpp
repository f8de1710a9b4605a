#include "gpu/opencl/Context.h"

#include "LogCapture.h"
#include "SharedContext.h"
#include "gpu/opencl/Queue.h"

#include <gtest/gtest.h>

#include <numeric>

namespace brantok::lumaro::gpu::opencl {
namespace {

using test::SharedContext;
using test::SharedQueue;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kPadding = 0xEE;

std::unique_ptr<IImage2D> MakeImage(const Int2& size, eGpuFormat format = eGpuFormat::RGBA8) {
  auto image = SharedContext().CreateImage2D(size, format, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::ReadWrite,
                                             eMemoryLocation::Device, std::nullopt);
  EXPECT_TRUE(image->IsValid());
  return image;
}

Bytes Ramp(std::size_t count) {
  Bytes bytes(count);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
  return bytes;
}

TEST(QueueTest, RectangleIsWrittenAtItsOriginFromTheGivenOffset) {
  const auto image = MakeImage({4, 3}, eGpuFormat::R8);
  SharedQueue().FillImage(*image, {0.0f, 0.0f, 0.0f, 0.0f});
  const Bytes source{99, 99, 99, 10, 11, 12, 13};
  // Two rows of two pixels, read with a pitch of 2 after skipping 3 bytes.
  SharedQueue().WriteImage(*image, {1, 1}, {2, 2}, source, 3, std::size_t{2});
  Bytes back(12);
  SharedQueue().ReadImage(*image, back);
  EXPECT_EQ(back, (Bytes{0, 0, 0, 0, 0, 10, 11, 0, 0, 12, 13, 0}));
}

TEST(QueueTest, BufferReadStopsAtTheGivenSize) {
  const auto buffer = SharedContext().CreateBuffer(64, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::ReadWrite,
                                                   eMemoryLocation::Device, std::nullopt);
  const Bytes content = Ramp(64);
  auto& queue = static_cast<Queue&>(SharedQueue());
  ASSERT_EQ(clEnqueueWriteBuffer(queue.GetNativeQueue(), test::NativeMemory(*buffer), CL_TRUE, 0, content.size(),
                                 content.data(), 0, nullptr, nullptr),
            CL_SUCCESS);

  Bytes partial(64, kPadding);
  queue.ReadBuffer(*buffer, partial, std::size_t{16});
  Bytes expected(64, kPadding);
  std::copy_n(content.begin(), 16, expected.begin());
  EXPECT_EQ(partial, expected);

  Bytes whole(64);
  queue.ReadBuffer(*buffer, static_cast<void*>(whole.data()), std::nullopt);
  EXPECT_EQ(whole, content);
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

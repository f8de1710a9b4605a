#include "gpu/opencl/Context.h"

#include "LogCapture.h"
#include "SharedContext.h"

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

namespace brantok::lumaro::gpu::opencl {
namespace {

using test::NativeMemory;
using test::SharedContext;

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

TEST(MemoryTest, HostPointerWithoutHostDataIsRefusedByTheDriver) {
  const lumaro::test::LogCapture log;
  const auto buffer = SharedContext().CreateBuffer(64, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::ReadWrite,
                                                   eMemoryLocation::HostPointer, std::nullopt);
  EXPECT_FALSE(buffer->IsValid());
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"CL buffer creation failed"});
}

TEST(MemoryTest, ImagesWithHostDataStartWithACopyOfIt) {
  Context& context = SharedContext();
  std::vector<std::uint8_t> pixels(2 * 2 * 2 * 4);
  std::iota(pixels.begin(), pixels.end(), std::uint8_t{1});

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

class FakeSource : public IMemorySource {
public:
  std::size_t GetSizeInBytes() const override { return 123; }
  void* GetNativeHandle() const override { return const_cast<int*>(&cell_); }

private:
  int cell_ = 0;
};

TEST(MemoryTest, WrappingBufferReportsItsSourceAndKeepsItAlive) {
  auto source = std::make_shared<FakeSource>();
  auto buffer = SharedContext().CreateBuffer(source, "wrapped");
  EXPECT_EQ(buffer->GetSizeInBytes(), 123u);
  EXPECT_TRUE(buffer->IsValid());
  EXPECT_EQ(buffer->GetNativeHandle(), source->GetNativeHandle());
  EXPECT_EQ(source.use_count(), 2);
  buffer.reset();
  EXPECT_EQ(source.use_count(), 1);
}

} // namespace
} // namespace brantok::lumaro::gpu::opencl

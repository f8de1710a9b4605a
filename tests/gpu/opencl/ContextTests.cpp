#include "gpu/opencl/Context.h"

#include "LogCapture.h"
#include "SharedContext.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace brantok::lumaro::gpu::opencl {
namespace {

using core::eLogChannel;

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(ContextTest, CreationReportsTheSearchAndTheChosenDevice) {
  const lumaro::test::LogCapture log;
  const auto context = Context::CreateContext();
  ASSERT_NE(context, nullptr) << "this machine has no OpenCL device";
  EXPECT_EQ(context->GetApi(), 2);
  EXPECT_TRUE(StartsWith(context->GetDeviceVersion(), "OpenCL ")) << context->GetDeviceVersion();

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
    EXPECT_TRUE(StartsWith(entries[2].second, "Falling back to OpenCL device: '")) << entries[2].second;
    EXPECT_TRUE(entries[2].second.ends_with(" " + context->GetDeviceName() + "'")) << entries[2].second;
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
    EXPECT_FALSE(formats.contains(eGpuFormat::BGRX16));
    EXPECT_FALSE(formats.contains(eGpuFormat::ARGB16));
  }
  try {
    context.GetSupportedImageFormats(static_cast<eMemoryDeviceAccess>(3));
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unknown eMemoryDeviceAccess setting");
  }
}

TEST(ContextTest, QueueForAForeignHandleCarriesOnlyItsName) {
  const lumaro::test::LogCapture log;
  Context& context = test::SharedContext();
  int foreign = 0;
  const auto queue = context.CreateQueue(&foreign, "host-queue");
  EXPECT_EQ(queue->GetName(), "host-queue");
  const auto buffer = context.CreateBuffer(16, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::ReadWrite,
                                           eMemoryLocation::Device, std::nullopt);
  std::vector<std::uint8_t> data(16);
  queue->ReadBuffer(*buffer, data, std::nullopt);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"CL enqueue read buffer failed"});
}

} // namespace
} // namespace brantok::lumaro::gpu::opencl

#include "TempFolder.h"
#include "ae/FileWatch.h"
#include "ae/ImagePool.h"
#include "ae/LumaroEffect.h"
#include "ae/ModuleLifecycle.h"
#include "core/Logger.h"
#include "gpu/IImage2D.h"
#include "gpu/opencl/Context.h"

#include <gtest/gtest.h>

#include <limits>

namespace brantok::lumaro::ae {
namespace {

using gpu::eGpuFormat;
using gpu::eMemoryDeviceAccess;
using gpu::eMemoryHostAccess;

// Ordinary times and a zero step reach the kernel in the module's render
// tests; here the values no clock gives.
TEST(RenderTimeTest, AZeroScaleAndAnOverflowingFrameStayInRange) {
  PF_InData inData{};
  inData.current_time = 2500;
  inData.time_step = 100;
  EXPECT_DOUBLE_EQ(LumaroEffect::GetRenderTime(inData).seconds, 0.0);
  inData.time_scale = 1000;
  inData.current_time = std::numeric_limits<A_long>::min();
  inData.time_step = -1;
  EXPECT_EQ(LumaroEffect::GetRenderTime(inData).frame, std::numeric_limits<std::int32_t>::max());
}

// Frames look at their package's file through the watch: at most once per
// interval, so that no frame pays a file-system query, and anew after it.
TEST(FileWatchTest, LooksAtAFileAtMostOncePerInterval) {
  lumaro::test::TempFolder folder;
  const auto path = folder / "Look.lumaro-effect";
  lumaro::test::WriteFile(path, "1");
  std::chrono::steady_clock::time_point now;
  FileWatch watch([&] { return now; });
  const auto first = watch.Stamp(path);
  ASSERT_TRUE(first);
  lumaro::test::WriteFile(path, "22");
  now += FileWatch::Interval - std::chrono::nanoseconds(1);
  EXPECT_EQ(watch.Stamp(path), first) << "remembered within the interval";
  const auto second = watch.StampNow(path);
  EXPECT_NE(second, first);
  std::filesystem::remove(path);
  now += FileWatch::Interval - std::chrono::nanoseconds(1);
  EXPECT_EQ(watch.Stamp(path), second);
  now += std::chrono::nanoseconds(1);
  EXPECT_FALSE(watch.Stamp(path)) << "missing once looked at again, the interval passed";
  lumaro::test::WriteFile(path, "333");
  for (std::size_t i = 1; i <= FileWatch::MaxPaths; ++i) watch.Stamp(folder / std::to_string(i));
  EXPECT_TRUE(watch.Stamp(path)) << "forgotten with the others once too many were looked at";
}

// Unloading leaves no handler behind, so nothing writes to a closed log file.
TEST(ModuleLifecycleTest, DetachRemovesEveryHandler) {
  int reached = 0;
  core::Logger::AddHandler([&](core::eLogChannel, const std::string&) { ++reached; });
  OnProcessDetach();
  core::Logger::Log("after unloading", core::eLogChannel::Info);
  EXPECT_EQ(reached, 0);
}

TEST(ImagePoolTest, ReusesMatchingImagesAndEvictsTheLeastRecentlyUsed) {
  std::shared_ptr<gpu::IContext> context = gpu::opencl::Context::CreateContext();
  ASSERT_NE(context, nullptr);
  ImagePool pool(context, 32);
  const auto first = pool.Get({4, 4}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
  ASSERT_TRUE(first->IsValid());
  EXPECT_EQ(pool.Get({4, 4}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write), first);
  // Any difference in size, format or access is another image.
  EXPECT_NE(pool.Get({4, 4}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Write, eMemoryHostAccess::Write), first);
  EXPECT_NE(pool.Get({4, 4}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Read), first);
  EXPECT_NE(pool.Get({4, 4}, eGpuFormat::RGBA32F, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write), first);
  EXPECT_NE(pool.Get({4, 5}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write), first);
  EXPECT_EQ(pool.GetSize(), 5u);

  // An image the device refuses is not kept, so a later request tries again.
  const auto refused =
      pool.Get({1 << 20, 1 << 20}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
  EXPECT_FALSE(refused->IsValid());
  EXPECT_EQ(pool.GetSize(), 5u);

  ImagePool shapes(context, 32);
  const auto oldest = shapes.Get({1, 1}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
  const auto second = shapes.Get({2, 1}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
  for (int width = 3; width <= 32; ++width) {
    shapes.Get({width, 1}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
  }
  // Using the second shape again makes the first the least recently used.
  EXPECT_EQ(shapes.Get({2, 1}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write), second);
  shapes.Get({33, 1}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
  EXPECT_EQ(shapes.GetSize(), 32u);
  EXPECT_NE(shapes.Get({1, 1}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write), oldest);
  EXPECT_EQ(shapes.Get({2, 1}, eGpuFormat::RGBA8, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write), second);
}

} // namespace
} // namespace brantok::lumaro::ae

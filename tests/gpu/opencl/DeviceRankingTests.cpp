#include "gpu/opencl/DeviceRanking.h"

#include "gpu/opencl/Context.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::gpu::opencl {
namespace {

std::optional<std::size_t> Select(const std::vector<DeviceDescription>& devices) {
  return SelectCandidate(devices, Context::GetVendorPreferences());
}

TEST(DeviceRankingTest, NvidiaBeatsAnIntelGpuEnumeratedFirst) {
  EXPECT_EQ(Select({{"Intel(R) Corporation", "Intel(R) UHD Graphics 770"},
                    {"NVIDIA Corporation", "NVIDIA GeForce RTX 4070"}}),
            1u);
}

TEST(DeviceRankingTest, AmongEqualRanksTheFirstEnumeratedWins) {
  EXPECT_EQ(Select({{"Acme", "GeForce GTX 1080"}, {"Acme", "geforce RTX 3060"}}), 0u);
  EXPECT_EQ(Select({{"Acme", "Intel Arc"}, {"Acme", "GEFORCE GTX 1650"}, {"Acme", "GeForce RTX 4090"}}), 1u);
}

TEST(DeviceRankingTest, PlatformVendorCountsLikeTheDeviceName) {
  EXPECT_EQ(RankDevice(GetDisplayName({"nVidia Corp.", "Tesla T4"}), Context::GetVendorPreferences()), 0u);
  EXPECT_EQ(Select({{"Advanced Micro Devices, Inc.", "gfx1100"}, {"NVIDIA Corporation", "Quadro P400"}}), 1u);
}

TEST(DeviceRankingTest, VendorOrderIsNvidiaGeforceAmdRadeonIntel) {
  const auto& preferences = Context::GetVendorPreferences();
  EXPECT_EQ(RankDevice("Acme GeForce", preferences), 1u);
  EXPECT_EQ(RankDevice("Acme amd", preferences), 2u);
  EXPECT_EQ(RankDevice("Acme Radeon Pro", preferences), 3u);
  EXPECT_EQ(RankDevice("Acme Intel", preferences), 4u);
  EXPECT_EQ(Select({{"Intel", "Iris Xe"}, {"Acme", "Radeon RX 7900"}, {"Acme", "AMD FirePro"}}), 2u);
}

TEST(DeviceRankingTest, UnlistedVendorIsChosenOnlyByTheFallback) {
  EXPECT_FALSE(RankDevice("Acme Corp Vector 9", Context::GetVendorPreferences()));
  EXPECT_EQ(Select({{"Acme Corp", "Vector 9"}}), 0u);
  EXPECT_EQ(Select({{"Acme Corp", "Vector 9"}, {"Intel(R) Corporation", "Arc A770"}}), 1u);
  EXPECT_EQ(Select({{"Acme Corp", "Vector 9"}, {"Other", "Thing"}}), 0u);
  EXPECT_FALSE(Select({}));
}

TEST(DeviceRankingTest, EmptyPreferenceMatchesEveryDevice) {
  EXPECT_EQ(RankDevice("Acme Vector", {"Nvidia", "", "Intel"}), 1u);
  EXPECT_EQ(SelectCandidate({{"Acme", "Vector"}, {"Intel", "Arc"}}, {"", "Intel"}), 0u);
}

} // namespace
} // namespace brantok::lumaro::gpu::opencl

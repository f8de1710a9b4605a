#include "gpu/opencl/DeviceRanking.h"

#include "gpu/opencl/Context.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::gpu::opencl {
namespace {

TEST(DeviceRankingTest, VendorOrderIsNvidiaGeforceAmdRadeonIntelMatchingNameOrPlatform) {
  const auto& preferences = Context::GetVendorPreferences();
  EXPECT_EQ(RankDevice(GetDisplayName({"nVidia Corp.", "Tesla T4"}), preferences), 0u);
  EXPECT_EQ(RankDevice("Acme GeForce", preferences), 1u);
  EXPECT_EQ(RankDevice("Acme amd", preferences), 2u);
  EXPECT_EQ(RankDevice("Acme Radeon Pro", preferences), 3u);
  EXPECT_EQ(RankDevice("Acme Intel", preferences), 4u);
  EXPECT_FALSE(RankDevice("Acme Corp Vector 9", preferences));
  EXPECT_EQ(RankDevice("Acme Vector", {"Nvidia", "", "Intel"}), 1u); // an empty preference matches every device
}

TEST(DeviceRankingTest, TheBestRankWinsThenTheFirstEnumeratedThenAnyDevice) {
  const std::vector<std::pair<std::vector<DeviceDescription>, std::optional<std::size_t>>> cases{
      {{{"Intel(R) Corporation", "Intel(R) UHD Graphics 770"}, {"NVIDIA Corporation", "NVIDIA GeForce RTX 4070"}}, 1},
      {{{"Acme", "GeForce GTX 1080"}, {"Acme", "geforce RTX 3060"}}, 0},
      {{{"Acme", "Intel Arc"}, {"Acme", "GEFORCE GTX 1650"}, {"Acme", "GeForce RTX 4090"}}, 1},
      {{{"Advanced Micro Devices, Inc.", "gfx1100"}, {"NVIDIA Corporation", "Quadro P400"}}, 1},
      {{{"Intel", "Iris Xe"}, {"Acme", "Radeon RX 7900"}, {"Acme", "AMD FirePro"}}, 2},
      {{{"Acme Corp", "Vector 9"}, {"Intel(R) Corporation", "Arc A770"}}, 1},
      {{{"Acme Corp", "Vector 9"}, {"Other", "Thing"}}, 0},
      {{}, std::nullopt},
  };
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(SelectCandidate(cases[i].first, Context::GetVendorPreferences()), cases[i].second) << "case " << i;
  EXPECT_EQ(SelectCandidate({{"Acme", "Vector"}, {"Intel", "Arc"}}, {"", "Intel"}), 0u);
}

} // namespace
} // namespace brantok::lumaro::gpu::opencl

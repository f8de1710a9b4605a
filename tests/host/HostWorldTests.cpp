#include "HostCallbacks.h"
#include "HostWorld.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::host {
namespace {

// Every byte tells where it came from, so a copy that drops, repeats or
// flips rows shows.
void Paint(HostWorld& world) {
  for (A_long y = 0; y < world.Height(); ++y) {
    for (A_long x = 0; x < world.Width(); ++x) {
      for (A_long c = 0; c < world.BytesPerPixel(); ++c) {
        world.Pixel(x, y)[c] = static_cast<std::uint8_t>(y * 31 + x * 7 + c);
      }
    }
  }
}

class CopyTest : public ::testing::TestWithParam<std::tuple<bool, A_long, bool, A_long>> {};

TEST_P(CopyTest, CopiesThePictureWhateverEachWorldsRowLayout) {
  const auto [sourceBottomUp, sourcePadding, targetBottomUp, targetPadding] = GetParam();
  HostWorld source(7, 5, PrPixelFormat_BGRA_4444_8u, sourcePadding, sourceBottomUp);
  HostWorld target(7, 5, PrPixelFormat_BGRA_4444_8u, targetPadding, targetBottomUp);
  Paint(source);
  ASSERT_EQ(HostCallbacks::CopyWorld(source.World(), target.World(), nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(target.PackedPixels(), source.PackedPixels());
  EXPECT_TRUE(target.PaddingIntact());
  EXPECT_TRUE(source.PaddingIntact());
}

INSTANTIATE_TEST_SUITE_P(RowLayouts, CopyTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(0, 12), ::testing::Bool(),
                                            ::testing::Values(0, 4)));

TEST(HostWorldTest, CopyRefusesWhatItCannotDoAndWritesNothing) {
  HostWorld source(4, 4);
  Paint(source);
  HostWorld smaller(3, 4);
  HostWorld deeper(4, 4, PrPixelFormat_BGRA_4444_32f);
  HostWorld target(4, 4, PrPixelFormat_BGRA_4444_8u, 0, true);
  auto copy = [&](HostWorld& to, const PF_Rect* rect = nullptr) {
    return HostCallbacks::CopyWorld(source.World(), to.World(), rect, nullptr);
  };
  EXPECT_EQ(copy(smaller), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(deeper), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(HostCallbacks::CopyWorld(nullptr, smaller.World(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  const PF_Rect outside{2, 2, 6, 6};
  EXPECT_EQ(copy(smaller, &outside), PF_Err_BAD_CALLBACK_PARAM);
  // Rows shorter than the world is wide overlap: a copy into them would
  // leave a picture no host shows.
  for (auto* world : {source.World(), target.World()}) {
    const A_long rowbytes = world->rowbytes;
    world->rowbytes = rowbytes < 0 ? -15 : 15;
    EXPECT_EQ(copy(target), PF_Err_BAD_CALLBACK_PARAM);
    world->rowbytes = rowbytes;
  }
  EXPECT_EQ(smaller.PackedPixels(), std::vector<std::uint8_t>(3 * 4 * 4, 0));
  EXPECT_EQ(deeper.PackedPixels(), std::vector<std::uint8_t>(4 * 4 * 16, 0));
  EXPECT_EQ(target.PackedPixels(), std::vector<std::uint8_t>(4 * 4 * 4, 0));
}

} // namespace
} // namespace brantok::lumaro::host

#include "HostCallbacks.h"
#include "HostWorld.h"

#include <gtest/gtest.h>

#include <cstring>

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

TEST(HostWorldTest, TopDownRowsGoUpInMemoryAndBottomUpRowsGoDown) {
  HostWorld topDown(5, 3, PrPixelFormat_BGRA_4444_8u, 4);
  EXPECT_EQ(topDown.RowBytes(), 24);
  EXPECT_EQ(topDown.Row(1) - topDown.Row(0), 24);
  EXPECT_EQ(reinterpret_cast<std::uint8_t*>(topDown.World()->data), topDown.Row(0));

  HostWorld bottomUp(5, 3, PrPixelFormat_BGRA_4444_8u, 4, true);
  EXPECT_TRUE(bottomUp.BottomUp());
  EXPECT_EQ(bottomUp.RowBytes(), -24);
  EXPECT_EQ(bottomUp.Row(0) - bottomUp.Row(1), 24);
  // data is the top row, which lies last in memory.
  EXPECT_EQ(reinterpret_cast<std::uint8_t*>(bottomUp.World()->data), bottomUp.Row(0));
  EXPECT_EQ(bottomUp.World()->width, 5);
  EXPECT_EQ(bottomUp.World()->height, 3);
  EXPECT_TRUE(bottomUp.PaddingIntact());
}

TEST(HostWorldTest, PixelSizesFollowTheFormat) {
  EXPECT_EQ(HostWorld::BytesPerPixel(PrPixelFormat_BGRA_4444_8u), 4);
  EXPECT_EQ(HostWorld::BytesPerPixel(PrPixelFormat_ARGB_4444_8u), 4);
  EXPECT_EQ(HostWorld::BytesPerPixel(PrPixelFormat_BGRA_4444_16u), 8);
  EXPECT_EQ(HostWorld::BytesPerPixel(PrPixelFormat_BGRA_4444_32f), 16);
  EXPECT_EQ(HostWorld::BytesPerPixel(PrPixelFormat_VUYA_4444_8u), 4);
  EXPECT_EQ(HostWorld::BytesPerPixel(static_cast<PrPixelFormat>(0x12345678)), 4);
  HostWorld floats(2, 2, PrPixelFormat_BGRA_4444_32f);
  EXPECT_EQ(floats.RowBytes(), 32);
}

TEST(HostWorldTest, FormatIsFoundForCopiesOfTheWorldStructure) {
  HostWorld world(4, 4, PrPixelFormat_BGRA_4444_32f);
  const PF_EffectWorld copy = *world.World();
  EXPECT_EQ(HostWorld::FormatOf(&copy), PrPixelFormat_BGRA_4444_32f);
  PF_EffectWorld stranger{};
  EXPECT_EQ(HostWorld::FormatOf(&stranger), std::nullopt);
  EXPECT_EQ(HostWorld::FormatOf(nullptr), std::nullopt);
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

TEST(HostWorldTest, CopiesFloatWorlds) {
  HostWorld source(3, 2, PrPixelFormat_BGRA_4444_32f, 0, true);
  HostWorld target(3, 2, PrPixelFormat_BGRA_4444_32f, 16);
  Paint(source);
  ASSERT_EQ(HostCallbacks::CopyWorld(source.World(), target.World(), nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(target.PackedPixels(), source.PackedPixels());
}

TEST(HostWorldTest, CopiesOneRectangleIntoAnother) {
  HostWorld source(6, 6);
  HostWorld target(4, 4, PrPixelFormat_BGRA_4444_8u, 0, true);
  Paint(source);
  const PF_Rect from{2, 1, 5, 3}; // left, top, right, bottom
  const PF_Rect to{0, 2, 3, 4};
  ASSERT_EQ(HostCallbacks::CopyWorld(source.World(), target.World(), &from, &to), PF_Err_NONE);
  EXPECT_EQ(std::memcmp(target.Pixel(0, 2), source.Pixel(2, 1), 12), 0);
  EXPECT_EQ(std::memcmp(target.Pixel(0, 3), source.Pixel(2, 2), 12), 0);
  EXPECT_EQ(target.Pixel(3, 3)[0], 0);
  EXPECT_EQ(target.Pixel(0, 1)[0], 0);
}

TEST(HostWorldTest, CopyRefusesWhatItCannotDoAndWritesNothing) {
  HostWorld source(4, 4);
  Paint(source);
  HostWorld smaller(3, 4);
  HostWorld deeper(4, 4, PrPixelFormat_BGRA_4444_32f);
  EXPECT_EQ(HostCallbacks::CopyWorld(source.World(), smaller.World(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(HostCallbacks::CopyWorld(source.World(), deeper.World(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(HostCallbacks::CopyWorld(nullptr, smaller.World(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  const PF_Rect outside{2, 2, 6, 6};
  EXPECT_EQ(HostCallbacks::CopyWorld(source.World(), smaller.World(), &outside, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(smaller.PackedPixels(), std::vector<std::uint8_t>(3 * 4 * 4, 0));
  EXPECT_EQ(deeper.PackedPixels(), std::vector<std::uint8_t>(4 * 4 * 16, 0));
}

TEST(HostWorldTest, CopyRefusesRowsShorterThanTheWorldIsWide) {
  // Such rows overlap: a copy into them would leave a picture no host shows.
  HostWorld source(4, 4);
  Paint(source);
  HostWorld target(4, 4, PrPixelFormat_BGRA_4444_8u, 0, true);
  for (auto* world : {source.World(), target.World()}) {
    const A_long rowbytes = world->rowbytes;
    world->rowbytes = rowbytes < 0 ? -15 : 15;
    EXPECT_EQ(HostCallbacks::CopyWorld(source.World(), target.World(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    world->rowbytes = rowbytes;
  }
  EXPECT_EQ(target.PackedPixels(), std::vector<std::uint8_t>(4 * 4 * 4, 0));
  ASSERT_EQ(HostCallbacks::CopyWorld(source.World(), target.World(), nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(target.PackedPixels(), source.PackedPixels());
}

} // namespace
} // namespace brantok::lumaro::host

#include "correction/EffectOutcome.h"
#include "correction/EffectSource.h"
#include "correction/Uuid.h"

#include <gtest/gtest.h>

#include <set>

namespace brantok::lumaro::correction {
namespace {

TEST(UuidTest, GeneratedIdsAreRandomVersion4WithTheRfcVariant) {
  std::set<std::array<std::uint8_t, 16>> seen;
  for (int i = 0; i < 100; ++i) {
    const Uuid id = Uuid::Generate();
    EXPECT_EQ(id.bytes[6] >> 4, 4);      // version nibble, first byte of the third group
    EXPECT_EQ(id.bytes[8] & 0xC0, 0x80); // variant bits
    seen.insert(id.bytes);
  }
  EXPECT_EQ(seen.size(), 100u);
}

TEST(UuidTest, HashCombinesBothHalvesReadBigEndian) {
  Uuid id;
  for (std::size_t i = 0; i < 16; ++i) id.bytes[i] = static_cast<std::uint8_t>(i + 1);
  EXPECT_EQ(UuidHash{}(id), static_cast<std::size_t>(0x0102030405060708ull ^ 0x090a0b0c0d0e0f10ull));
  EXPECT_EQ(UuidHash{}(Uuid{}), 0u);
}

TEST(EffectSourceTest, TheKeyKeepsKernelAndMetadataApart) {
  // Moving text between kernel and metadata changes the key, not necessarily the hash.
  EXPECT_NE(EffectSource(EffectSource{2, "ab", ""}), EffectSource(EffectSource{2, "a", "b"}));
  // The hash reads the bytes in order: sources that differ only by two
  // swapped characters, as edited kernels often do, do not hash alike.
  EXPECT_NE(EffectSourceHash{}(EffectSource{2, "ab", ""}), EffectSourceHash{}(EffectSource{2, "ba", ""}));
}

// The one log line that says whether an effect can run, as tools read it back.
TEST(EffectOutcomeTest, EachOutcomeIsOneLineThatReadsBackAndTheLastOneCounts) {
  const auto failed = EffectOutcome::CannotRun("Warm\nGlow", "kernel.cl:3:1: error: x\r\nnote: y");
  EXPECT_EQ(failed.Line(), "Effect 'Warm Glow' cannot run: kernel.cl:3:1: error: x  note: y");
  EXPECT_EQ(EffectOutcome::CannotRun("A", "").GetReason(), "unknown reason");

  const std::string log = "Effect 'X' is ready to render\r\nother\n" + failed.Line() + "\r\nEffect list\n";
  const auto last = EffectOutcome::FindLast(log);
  ASSERT_TRUE(last);
  EXPECT_FALSE(last->IsReady());
  EXPECT_EQ(last->GetName(), "Warm Glow");
  EXPECT_EQ(last->GetReason(), "kernel.cl:3:1: error: x  note: y");

  const auto ready = EffectOutcome::FindLast(log + EffectOutcome::Ready("B").Line() + "\r\n");
  ASSERT_TRUE(ready);
  EXPECT_TRUE(ready->IsReady());
  EXPECT_EQ(ready->GetName(), "B");
  EXPECT_FALSE(EffectOutcome::FindLast("Effect 'B' is loading\nready to render\n"));
}

} // namespace
} // namespace brantok::lumaro::correction

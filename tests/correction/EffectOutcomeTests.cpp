// The one log line that says whether an effect can run, as tools read it back.
#include "correction/EffectOutcome.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::correction {
namespace {

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

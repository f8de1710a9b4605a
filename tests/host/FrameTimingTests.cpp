#include "CliError.h"
#include "FrameTiming.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::host {
namespace {

// What the plug-in makes of the fields.
double Seconds(const FrameTime& time) { return static_cast<double>(time.currentTime) / time.timeScale; }
A_long Frame(const FrameTime& time) { return time.currentTime / time.timeStep; }
double Duration(const FrameTime& time) { return static_cast<double>(time.totalTime) / time.timeScale; }

TEST(FrameTimingTest, WhatIsNotGivenIsTheFirstFrameOrFollowsAt25PerSecond) {
  const auto nothing = ChooseFrameTime(std::nullopt, std::nullopt, std::nullopt);
  EXPECT_EQ(nothing.currentTime, 0);
  EXPECT_EQ(nothing.totalTime, 0);
  EXPECT_EQ(nothing.timeStep * 25, static_cast<A_long>(nothing.timeScale));

  const auto fromTime = ChooseFrameTime(1.5, std::nullopt, 3.0);
  EXPECT_DOUBLE_EQ(Seconds(fromTime), 1.5);
  EXPECT_EQ(Frame(fromTime), 37);
  EXPECT_DOUBLE_EQ(Duration(fromTime), 3.0);

  const auto fromFrame = ChooseFrameTime(std::nullopt, 50, std::nullopt);
  EXPECT_DOUBLE_EQ(Seconds(fromFrame), 2.0);
  EXPECT_EQ(Frame(fromFrame), 50);
}

TEST(FrameTimingTest, BothArriveAsGiven) {
  for (const auto& [seconds, frame] : std::vector<std::pair<double, std::int64_t>>{
           {0.5, 3}, {1.0, 3000}, {10.0, 1}, {0.25, 0}, {0.0, 0}, {100.0, 7}, {2.0, 50}}) {
    const auto time = ChooseFrameTime(seconds, frame, 120.0);
    EXPECT_DOUBLE_EQ(Seconds(time), seconds) << seconds << " " << frame;
    EXPECT_EQ(Frame(time), frame) << seconds << " " << frame;
    EXPECT_DOUBLE_EQ(Duration(time), 120.0);
    EXPECT_GT(time.timeStep, 0);
  }
}

TEST(FrameTimingTest, LongTimesUseACoarserScale) {
  const auto time = ChooseFrameTime(3600.25, std::nullopt, 7200.0);
  EXPECT_DOUBLE_EQ(Seconds(time), 3600.25);
  EXPECT_DOUBLE_EQ(Duration(time), 7200.0);
  EXPECT_GE(time.timeScale, 1000u);
}

TEST(FrameTimingTest, ImpossibleValuesAreRefused) {
  EXPECT_THROW(ChooseFrameTime(-1.0, std::nullopt, std::nullopt), CliError);
  EXPECT_THROW(ChooseFrameTime(std::nullopt, -1, std::nullopt), CliError);
  EXPECT_THROW(ChooseFrameTime(std::nullopt, std::nullopt, -2.0), CliError);
  EXPECT_THROW(ChooseFrameTime(0.0, 5, std::nullopt), CliError);
  EXPECT_THROW(ChooseFrameTime(1e9, std::nullopt, std::nullopt), CliError);
}

} // namespace
} // namespace brantok::lumaro::host

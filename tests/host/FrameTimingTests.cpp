#include "CliError.h"
#include "FrameTiming.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace brantok::lumaro::host {
namespace {

// What the plug-in makes of the fields.
double Seconds(const FrameTime& time) { return static_cast<double>(time.currentTime) / time.timeScale; }
A_long Frame(const FrameTime& time) { return time.currentTime / time.timeStep; }
double Duration(const FrameTime& time) { return static_cast<double>(time.totalTime) / time.timeScale; }

TEST(FrameTimingTest, WhatIsGivenArrivesAndTheOtherFollowsAt25PerSecond) {
  using Given = std::tuple<std::optional<double>, std::optional<std::int64_t>, std::optional<double>>;
  const std::vector<std::pair<Given, std::pair<double, A_long>>> cases{
      {{std::nullopt, std::nullopt, std::nullopt}, {0.0, 0}},
      {{1.5, std::nullopt, 3.0}, {1.5, 37}},
      {{std::nullopt, 50, std::nullopt}, {2.0, 50}},
      // Both given: as given, whatever their ratio, frame 0 included.
      {{0.5, 3, 120.0}, {0.5, 3}},
      {{0.25, 0, 120.0}, {0.25, 0}},
      {{0.0, 0, 120.0}, {0.0, 0}},
      // An hour needs a coarser scale than a second.
      {{3600.25, std::nullopt, 7200.0}, {3600.25, 90006}},
  };
  for (const auto& [given, expected] : cases) {
    const auto& [time, frame, duration] = given;
    SCOPED_TRACE(std::to_string(time.value_or(-1)) + " s, frame " + std::to_string(frame.value_or(-1)));
    const auto chosen = ChooseFrameTime(time, frame, duration);
    EXPECT_DOUBLE_EQ(Seconds(chosen), expected.first);
    EXPECT_EQ(Frame(chosen), expected.second);
    EXPECT_DOUBLE_EQ(Duration(chosen), duration.value_or(0.0));
  }
}

TEST(FrameTimingTest, ImpossibleValuesAreRefused) {
  EXPECT_THROW(ChooseFrameTime(-1.0, std::nullopt, std::nullopt), CliError);
  EXPECT_THROW(ChooseFrameTime(std::nullopt, -1, std::nullopt), CliError);
  EXPECT_THROW(ChooseFrameTime(std::nullopt, std::nullopt, -2.0), CliError);
  EXPECT_THROW(ChooseFrameTime(1e9, std::nullopt, std::nullopt), CliError);
}

} // namespace
} // namespace brantok::lumaro::host

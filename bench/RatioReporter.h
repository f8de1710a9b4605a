#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::bench {

// One measured value: a benchmark's median real time in milliseconds, or one
// of its counters.
struct BenchValue {
  std::string benchmark;
  std::string counter; // empty: real time
};

// A goal over the run's medians: numerator / denominator <= limit, or, with
// no denominator, the numerator itself (in milliseconds) <= limit. `atLeast`
// turns the goal into >= limit (a speed-up). A goal `onGpu` holds for GPU
// devices only: on any other device it is shown but not judged.
struct RatioCheck {
  std::string label;
  BenchValue numerator;
  std::optional<BenchValue> denominator;
  std::optional<double> limit; // none: shown for information
  bool atLeast = false;
  bool onGpu = false;
};

// Google Benchmark's console output, then a table of the checks computed from
// the medians of this run (or from the single run of a benchmark without
// repetitions). A missed goal is shown, not fatal: timings on a shared machine
// are evidence, not a test. `gpuDevice`: the module renders on a GPU.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
  RatioReporter(std::vector<RatioCheck> checks, OutputOptions options, bool gpuDevice);

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

  // True when every check had its values and met its goal.
  bool AllMet() const { return allMet_; }

private:
  struct Measured {
    double realMs = 0.0;
    std::map<std::string, double> counters;
    bool fromMedian = false;
  };

  std::optional<double> Find(const BenchValue& value) const;
  void Keep(const Run& run, bool median);

  std::vector<RatioCheck> checks_;
  std::map<std::string, Measured> measured_;
  bool gpuDevice_;
  bool allMet_ = true;
};

} // namespace brantok::lumaro::bench

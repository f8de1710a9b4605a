#include "RatioReporter.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace brantok::lumaro::bench {
namespace {

double ToMilliseconds(double value, benchmark::TimeUnit unit) {
  switch (unit) {
  case benchmark::kNanosecond:
    return value / 1e6;
  case benchmark::kMicrosecond:
    return value / 1e3;
  case benchmark::kMillisecond:
    return value;
  case benchmark::kSecond:
    return value * 1e3;
  }
  return value;
}

std::string Describe(const BenchValue& value) {
  return value.counter.empty() ? value.benchmark : value.benchmark + " [" + value.counter + "]";
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

} // namespace

RatioReporter::RatioReporter(std::vector<RatioCheck> checks, OutputOptions options, bool gpuDevice) :
    ConsoleReporter(options), checks_(std::move(checks)), gpuDevice_(gpuDevice) {}

void RatioReporter::Keep(const Run& run, bool median) {
  std::string name = run.run_name.function_name;
  if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
  auto& slot = measured_[name];
  // A median outranks the single runs that make it up.
  if (slot.fromMedian && !median) return;
  slot.fromMedian = median;
  slot.realMs = ToMilliseconds(run.GetAdjustedRealTime(), run.time_unit);
  slot.counters.clear();
  for (const auto& [counter, value] : run.counters) slot.counters[counter] = value.value;
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    if (run.run_type == Run::RT_Aggregate) {
      if (run.aggregate_name == "median") Keep(run, true);
    } else {
      Keep(run, false);
    }
  }
  ConsoleReporter::ReportRuns(runs);
}

std::optional<double> RatioReporter::Find(const BenchValue& value) const {
  const auto found = measured_.find(value.benchmark);
  if (found == measured_.end()) return std::nullopt;
  if (value.counter.empty()) return found->second.realMs;
  const auto counter = found->second.counters.find(value.counter);
  if (counter == found->second.counters.end()) return std::nullopt;
  return counter->second;
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::ostream& out = GetOutputStream();
  // Wide enough for most labels, so that the tables of several programs line
  // up when their rows are gathered (run.sh of the GPU bundle does).
  std::size_t width = 42;
  for (const auto& check : checks_) width = std::max(width, check.label.size());
  const auto pad = [](const std::string& text, std::size_t size) {
    return text + std::string(text.size() < size ? size - text.size() : 0, ' ');
  };
  out << "\n"
      << pad("Median of this run", width) << "  " << pad("value", 10) << "  " << pad("goal", 10) << "  "
      << pad("result", 6) << "  from\n";
  for (const auto& check : checks_) {
    const auto numerator = Find(check.numerator);
    const auto denominator = check.denominator ? Find(*check.denominator) : std::optional<double>(1.0);
    const auto unit = [](const BenchValue& value) { return value.counter.empty() ? " ms" : ""; };
    std::string value = "-";
    std::string result = "-";
    std::string from;
    if (numerator && denominator && *denominator > 0.0) {
      const double ratio = *numerator / *denominator;
      value = Format(check.denominator ? "%.3fx" : "%.3f ms", ratio);
      if (check.limit && check.onGpu && !gpuDevice_) {
        result = "no GPU";
      } else if (check.limit) {
        const bool met = check.atLeast ? ratio >= *check.limit : ratio <= *check.limit;
        result = met ? "met" : "MISSED";
        allMet_ = allMet_ && met;
      }
      if (check.denominator) {
        from = Format("%.3f", *numerator) + unit(check.numerator) + " / " + Format("%.3f", *denominator) +
               unit(*check.denominator);
      }
    } else {
      allMet_ = false;
      from = "not measured: " + Describe(check.numerator) +
             (check.denominator ? " / " + Describe(*check.denominator) : std::string());
    }
    std::string goal = "-";
    if (check.limit) {
      goal = (check.atLeast ? ">= " : "<= ") + Format(check.denominator ? "%.3gx" : "%.3g ms", *check.limit);
    }
    out << pad(check.label, width) << "  " << pad(value, 10) << "  " << pad(goal, 10) << "  " << pad(result, 6) << "  "
        << from << "\n";
  }
  out.flush();
}

} // namespace brantok::lumaro::bench

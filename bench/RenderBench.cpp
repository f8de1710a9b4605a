// Frames through the module (EffectHost drives EffectMain's RENDER with the
// Warm Glow example) against the hand-written OpenCL pipeline, against two
// memcpy passes over the frame and against the frame's transfer alone (one
// image write and one read on the device: the floor of a GPU frame), for
// 1080p and 4K in BGRA8 (the direct path) and BGRA32F (which PoCL stores only
// in RGBA order: the swizzle path).
//
// Other programs share this machine, and a CPU device slows down by half
// whenever one of them takes a core, so every comparison is paired: one
// iteration renders a frame through each contender in turn (the order
// rotating), and the ratios come from times taken side by side.
#include "BenchModule.h"
#include "BenchRunner.h"
#include "HandWrittenPipeline.h"
#include "SharedSetup.h"
#include "ae/FileWatch.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace brantok::lumaro::bench {
namespace {

using host::FrameTime;
using host::HostWorld;
using Clock = std::chrono::steady_clock;

struct Size {
  const char* name;
  A_long width;
  A_long height;
};

struct Format {
  const char* name;
  PrPixelFormat code;
  bool floatPixels;
};

constexpr Size k1080p{"1080p", 1920, 1080};
constexpr Size k4K{"4K", 3840, 2160};
// A small frame shows the fixed cost of a frame; it has no goal of its own.
constexpr Size kSmall{"256x144", 256, 144};
constexpr Format kFormats[] = {{"BGRA8", PrPixelFormat_BGRA_4444_8u, false},
                               {"BGRA32F", PrPixelFormat_BGRA_4444_32f, true}};

// One second into a ten-second clip at 25 frames per second: the kernel's
// time, frame and duration arguments, in both pipelines.
constexpr FrameTime kTime{1000, 40, 10000, 1000};
constexpr double kAmount = 0.7;
constexpr PF_Pixel kTint{255, 255, 204, 153}; // alpha, red, green, blue

HandWrittenPipeline::Arguments PipelineArguments() {
  HandWrittenPipeline::Arguments arguments;
  arguments.time = 1.0f;
  arguments.frame = 25;
  arguments.duration = 10.0f;
  arguments.amount = static_cast<float>(kAmount);
  // The module passes a colour control with alpha 1.
  const float tint[4] = {kTint.red / 255.0f, kTint.green / 255.0f, kTint.blue / 255.0f, 1.0f};
  std::memcpy(arguments.tint, tint, sizeof tint);
  return arguments;
}

// A ramp over the picture, so that no channel is constant.
void FillRamp(HostWorld& world) {
  for (A_long y = 0; y < world.Height(); ++y) {
    for (A_long x = 0; x < world.Width(); ++x) {
      const float bgra[4] = {static_cast<float>(x) / static_cast<float>(world.Width()),
                             static_cast<float>(y) / static_cast<float>(world.Height()),
                             static_cast<float>((x + y) % 256) / 255.0f, 1.0f};
      auto* pixel = world.Pixel(x, y);
      if (world.Format() == PrPixelFormat_BGRA_4444_32f) {
        std::memcpy(pixel, bgra, sizeof bgra);
      } else {
        for (int c = 0; c < 4; ++c) pixel[c] = static_cast<std::uint8_t>(bgra[c] * 255.0f);
      }
    }
  }
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// One size and format: the worlds the host hands to the module, which the
// baselines read and write too (their rows are unpadded), a staging buffer
// for the copies and the hand-written pipeline.
class Frame {
public:
  Frame(const Size& size, const Format& format) :
      input_(size.width, size.height, format.code), output_(size.width, size.height, format.code),
      bytes_(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) *
             static_cast<std::size_t>(input_.BytesPerPixel())),
      staging_(bytes_, 0), pipeline_(BenchModule::ExampleText("WarmGlow", "kernel.cl"), "warm_glow", size.width,
                                     size.height, format.floatPixels),
      arguments_(PipelineArguments()) {
    FillRamp(input_);
  }

  std::size_t Bytes() const { return bytes_; }
  bool Swizzles() const { return pipeline_.Swizzles(); }

  // Each returns the frame's time in seconds; the module's is negative when
  // the module refused the frame.
  double ThroughModule(host::EffectHost& host, int sequence) {
    const auto start = Clock::now();
    const PF_Err error = host.Render(sequence, input_, output_, kTime);
    const double seconds = Seconds(start);
    return error == PF_Err_NONE ? seconds : -1.0;
  }

  double ThroughPipeline() {
    const auto start = Clock::now();
    pipeline_.Render(input_.Row(0), output_.Row(0), arguments_);
    return Seconds(start);
  }

  double ThroughTransfer() {
    const auto start = Clock::now();
    pipeline_.Transfer(input_.Row(0), output_.Row(0));
    return Seconds(start);
  }

  double ThroughCopies() {
    const auto start = Clock::now();
    std::memcpy(staging_.data(), input_.Row(0), bytes_);
    benchmark::ClobberMemory();
    std::memcpy(output_.Row(0), staging_.data(), bytes_);
    benchmark::ClobberMemory();
    return Seconds(start);
  }

private:
  HostWorld input_;
  HostWorld output_;
  std::size_t bytes_;
  std::vector<std::uint8_t> staging_;
  HandWrittenPipeline pipeline_;
  HandWrittenPipeline::Arguments arguments_;
};

// What every benchmark of this program shares, made on first use: one plug-in
// instance with one sequence showing Warm Glow, and the frames.
class RenderSetup : public SharedSetup<RenderSetup> {
public:
  ~RenderSetup() {
    frames_.clear();
    BenchModule::TearDown(*host_);
  }
  RenderSetup(const RenderSetup&) = delete;
  RenderSetup& operator=(const RenderSetup&) = delete;

  host::EffectHost& Host() { return *host_; }
  int Sequence() const { return sequence_; }

  // The frame of that size and format, after one frame through the module
  // and the pipeline, which fill the image pool and the kernels' caches.
  Frame& FrameFor(const Size& size, const Format& format) {
    auto& frame = frames_[{size.name, format.name}];
    if (!frame) {
      frame = std::make_unique<Frame>(size, format);
      if (frame->ThroughModule(*host_, sequence_) < 0) throw std::runtime_error("the module refused the frame");
      frame->ThroughPipeline();
    }
    return *frame;
  }

private:
  friend class SharedSetup<RenderSetup>;
  RenderSetup() {
    host_ = BenchModule::Instance().MakeHost(sequence_);
    BenchModule::ChooseEffect(*host_, sequence_, BenchModule::Example("WarmGlow"));
    host_->Params().SetFloatSliderValue(BenchModule::WarmGlowAmount, kAmount);
    host_->Params().SetColorValue(BenchModule::WarmGlowTint, kTint);
  }

  std::unique_ptr<host::EffectHost> host_;
  int sequence_ = -1;
  std::map<std::pair<std::string, std::string>, std::unique_ptr<Frame>> frames_;
};

benchmark::Counter PerFrameMs(double seconds) {
  return benchmark::Counter(seconds * 1e3, benchmark::Counter::kAvgIterations);
}

// The module's frame time is the benchmark's time; the counters hold the
// mean frame time of each contender over the same iterations.
void Render(benchmark::State& state, Size size, Format format) {
  auto& setup = RenderSetup::Instance();
  auto& frame = setup.FrameFor(size, format);
  std::array<double, 4> total{};
  std::size_t turn = 0;
  for (auto _ : state) {
    double module = 0.0;
    for (std::size_t step = 0; step < total.size(); ++step) {
      const std::size_t contender = (turn + step) % total.size();
      if (contender == 0) {
        module = frame.ThroughModule(setup.Host(), setup.Sequence());
        total[0] += module;
      } else if (contender == 1) {
        total[1] += frame.ThroughPipeline();
      } else if (contender == 2) {
        total[2] += frame.ThroughCopies();
      } else {
        total[3] += frame.ThroughTransfer();
      }
    }
    ++turn;
    if (module < 0) {
      state.SkipWithError("the module refused the frame");
      break;
    }
    state.SetIterationTime(module);
  }
  state.counters["module_ms"] = PerFrameMs(total[0]);
  state.counters["hand_ms"] = PerFrameMs(total[1]);
  state.counters["memcpy2_ms"] = PerFrameMs(total[2]);
  state.counters["transfer_ms"] = PerFrameMs(total[3]);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame.Bytes()));
  state.SetLabel(frame.Swizzles() ? "swizzle path" : "direct path");
}

// 1080p and 4K frames through the module in turn.
void Scale(benchmark::State& state, Format format) {
  auto& setup = RenderSetup::Instance();
  auto& small = setup.FrameFor(k1080p, format);
  auto& large = setup.FrameFor(k4K, format);
  double smallTotal = 0.0;
  double largeTotal = 0.0;
  bool largeFirst = false;
  for (auto _ : state) {
    const double first = (largeFirst ? large : small).ThroughModule(setup.Host(), setup.Sequence());
    const double second = (largeFirst ? small : large).ThroughModule(setup.Host(), setup.Sequence());
    if (first < 0 || second < 0) {
      state.SkipWithError("the module refused the frame");
      break;
    }
    smallTotal += largeFirst ? second : first;
    largeTotal += largeFirst ? first : second;
    largeFirst = !largeFirst;
    state.SetIterationTime(first + second);
  }
  state.counters["1080p_ms"] = PerFrameMs(smallTotal);
  state.counters["4K_ms"] = PerFrameMs(largeTotal);
}

// The look at the package file that every frame makes to notice a new
// version: the remembered answer most frames get, and the file-system query
// made at most once per FileWatch::Interval, each beside a module frame.
void ReloadCheck(benchmark::State& state) {
  ae::FileWatch watch;
  const auto package = BenchModule::Example("WarmGlow");
  constexpr int kCachedLooks = 100;
  double queried = 0.0;
  double cached = 0.0;
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(watch.StampNow(package));
    const auto middle = Clock::now();
    for (int i = 0; i < kCachedLooks; ++i) benchmark::DoNotOptimize(watch.Stamp(package));
    const auto end = Clock::now();
    queried += std::chrono::duration<double>(middle - start).count();
    cached += std::chrono::duration<double>(end - middle).count() / kCachedLooks;
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.counters["query_ms"] = PerFrameMs(queried);
  state.counters["cached_ms"] = PerFrameMs(cached);
}

std::vector<RatioCheck> RegisterAll() {
  std::vector<RatioCheck> checks;
  for (const auto& format : kFormats) {
    for (const Size& size : {k1080p, k4K, kSmall}) {
      const std::string name = std::string("Render/") + format.name + "/" + size.name;
      benchmark::RegisterBenchmark(name.c_str(), Render, size, format)->UseManualTime()->Unit(benchmark::kMillisecond);
      const std::string shape = std::string(format.name) + " " + size.name;
      const bool small = std::string(size.name) == kSmall.name;
      checks.push_back({"module / hand-written, " + shape,
                        {name, "module_ms"},
                        BenchValue{name, "hand_ms"},
                        small ? std::nullopt : std::optional<double>(1.10)});
      checks.push_back({"module / two memcpy, " + shape, {name, "module_ms"}, BenchValue{name, "memcpy2_ms"}, {}});
      checks.push_back({"module / transfer floor, " + shape, {name, "module_ms"}, BenchValue{name, "transfer_ms"}, {}});
    }
  }
  for (const auto& format : kFormats) {
    const std::string name = std::string("Scale/") + format.name;
    benchmark::RegisterBenchmark(name.c_str(), Scale, format)->UseManualTime()->Unit(benchmark::kMillisecond);
    checks.push_back(
        {std::string("module 4K / 1080p, ") + format.name, {name, "4K_ms"}, BenchValue{name, "1080p_ms"}, 4.2});
    const std::string render = std::string("Render/") + format.name + "/";
    checks.push_back({std::string("hand-written 4K / 1080p, ") + format.name,
                      {render + "4K", "hand_ms"},
                      BenchValue{render + "1080p", "hand_ms"},
                      {}});
  }
  benchmark::RegisterBenchmark("ReloadCheck", ReloadCheck)->UseManualTime()->Unit(benchmark::kMicrosecond);
  for (const char* look : {"query_ms", "cached_ms"}) {
    checks.push_back({std::string("package check (") + (look[0] == 'q' ? "file query" : "remembered") +
                          ") / module frame, BGRA8 1080p",
                      {"ReloadCheck", look},
                      BenchValue{"Render/BGRA8/1080p", "module_ms"},
                      0.01});
  }
  // The goals of an editor's GPU, judged only when the module renders on one.
  checks.push_back(
      {"GPU: module, BGRA8 1080p end to end", {"Render/BGRA8/1080p", "module_ms"}, std::nullopt, 2.0, false, true});
  checks.push_back({"GPU: module / transfer floor, BGRA32F 4K",
                    {"Render/BGRA32F/4K", "module_ms"},
                    BenchValue{"Render/BGRA32F/4K", "transfer_ms"},
                    1.2,
                    false,
                    true});
  return checks;
}

} // namespace
} // namespace brantok::lumaro::bench

int main(int argc, char** argv) {
  using namespace brantok::lumaro::bench;
  const int status = BenchRunner::Run(argc, argv, RegisterAll());
  RenderSetup::Release();
  return status;
}

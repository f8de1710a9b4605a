// 10,000 small frames (256 x 144, BGRA8, the direct path) through the module
// with the Warm Glow controls and the time changing every frame: resident
// memory once the image pool is warm (after 100 frames) against the end.
#include "BenchModule.h"
#include "BenchRunner.h"
#include "ResidentMemory.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace brantok::lumaro::bench {
namespace {

constexpr A_long kWidth = 256;
constexpr A_long kHeight = 144;
constexpr int kWarmFrames = 100;
constexpr int kFrames = 10000;

double MiB(std::uint64_t kib) { return static_cast<double>(kib) / 1024.0; }

void Soak(benchmark::State& state) {
  int sequence = -1;
  auto host = BenchModule::Instance().MakeHost(sequence);
  BenchModule::ChooseEffect(*host, sequence, BenchModule::Example("WarmGlow"));
  host::HostWorld input(kWidth, kHeight, PrPixelFormat_BGRA_4444_8u);
  host::HostWorld output(kWidth, kHeight, PrPixelFormat_BGRA_4444_8u);
  input.FillPixels(0x80);

  ResidentMemory warm;
  ResidentMemory end;
  double seconds = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < kFrames; ++frame) {
      host->Params().SetFloatSliderValue(BenchModule::WarmGlowAmount, (frame % 101) / 100.0);
      host->Params().SetColorValue(BenchModule::WarmGlowTint,
                                   PF_Pixel{255, static_cast<A_u_char>(frame % 256),
                                            static_cast<A_u_char>((frame * 7) % 256), static_cast<A_u_char>(200)});
      const host::FrameTime time{frame * 40, 40, kFrames * 40, 1000};
      if (host->Render(sequence, input, output, time) != PF_Err_NONE) {
        state.SkipWithError("the module refused a frame");
        return;
      }
      if (frame + 1 == kWarmFrames) warm = ResidentMemory::Read();
    }
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    end = ResidentMemory::Read();
  }
  BenchModule::TearDown(*host);

  state.counters["rss_100_MiB"] = MiB(warm.currentKiB);
  state.counters["hwm_100_MiB"] = MiB(warm.peakKiB);
  state.counters["rss_10k_MiB"] = MiB(end.currentKiB);
  state.counters["hwm_10k_MiB"] = MiB(end.peakKiB);
  state.counters["ms_per_frame"] = seconds * 1000.0 / kFrames;
}

std::vector<RatioCheck> RegisterAll() {
  // One pass in a fresh process: a second pass would start from a warm
  // instance and say nothing about growth.
  benchmark::RegisterBenchmark("Soak/WarmGlow/256x144/10000frames", Soak)
      ->Iterations(1)
      ->Repetitions(1)
      ->UseRealTime()
      ->Unit(benchmark::kSecond);
  const std::string name = "Soak/WarmGlow/256x144/10000frames";
  return {
      {"VmRSS after 10,000 frames / after 100", {name, "rss_10k_MiB"}, BenchValue{name, "rss_100_MiB"}, 1.05},
      {"VmHWM after 10,000 frames / after 100", {name, "hwm_10k_MiB"}, BenchValue{name, "hwm_100_MiB"}, 1.05},
  };
}

} // namespace
} // namespace brantok::lumaro::bench

int main(int argc, char** argv) {
  using namespace brantok::lumaro::bench;
  return BenchRunner::Run(argc, argv, RegisterAll());
}

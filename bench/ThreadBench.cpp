// Frames of one clip rendered by 1, 2 and 3 host threads at once through
// EffectMain's RENDER, as a host renders frames ahead of the playhead: one
// plug-in instance, one sequence showing Warm Glow, 1080p BGRA8 frames, each
// thread with its own input and output worlds and its own frames of the clip.
// The frames per second of each thread count, and their ratio to one thread.
//
// The three counts share each iteration (the order rotating), so a program
// that takes a core of this machine for a while slows all three alike.
#include "BenchModule.h"
#include "BenchRunner.h"
#include "SharedSetup.h"

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace brantok::lumaro::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr A_long kWidth = 1920;
constexpr A_long kHeight = 1080;
constexpr int kMaxThreads = 3;
// Frames each thread renders per round: enough that waking the threads is
// lost in the round's time even at a GPU's millisecond per frame.
constexpr int kFramesEach = 6;
// A ten-second clip at 25 frames per second.
constexpr A_long kClipFrames = 250;

// Host threads that stay up for the whole program and render together when
// told to, so that starting threads is never inside a timed round.
class RenderThreads {
public:
  RenderThreads(host::EffectHost& host, int sequence) : host_(host), sequence_(sequence) {
    for (int index = 0; index < kMaxThreads; ++index) {
      worlds_.push_back(std::make_unique<host::HostWorld>(kWidth, kHeight, PrPixelFormat_BGRA_4444_8u));
      worlds_.back()->FillPixels(0x80);
      worlds_.push_back(std::make_unique<host::HostWorld>(kWidth, kHeight, PrPixelFormat_BGRA_4444_8u));
    }
    for (int index = 0; index < kMaxThreads; ++index) threads_.emplace_back([this, index] { Work(index); });
  }

  ~RenderThreads() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    start_.notify_all();
    for (auto& thread : threads_) thread.join();
  }
  RenderThreads(const RenderThreads&) = delete;
  RenderThreads& operator=(const RenderThreads&) = delete;

  // `threads` threads render `framesEach` frames each, all at once; the wall
  // time of the round in seconds, negative when the module refused a frame.
  double Round(int threads, int framesEach) {
    std::unique_lock lock(mutex_);
    active_ = threads;
    framesEach_ = framesEach;
    running_ = threads;
    failed_ = false;
    const auto start = Clock::now();
    ++round_;
    start_.notify_all();
    done_.wait(lock, [this] { return running_ == 0; });
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return failed_ ? -1.0 : seconds;
  }

private:
  void Work(int index) {
    std::uint64_t seen = 0;
    for (;;) {
      int frames = 0;
      {
        std::unique_lock lock(mutex_);
        start_.wait(lock, [&] { return stopping_ || (round_ != seen && index < active_); });
        if (stopping_) return;
        seen = round_;
        frames = framesEach_;
      }
      bool ok = true;
      for (int frame = 0; frame < frames && ok; ++frame) {
        // Consecutive frames of the clip, handed out as a host hands them.
        const A_long number = nextFrame_.fetch_add(1) % kClipFrames;
        const host::FrameTime time{number * 40, 40, kClipFrames * 40, 1000};
        ok = host_.Render(sequence_, *worlds_[2 * index], *worlds_[2 * index + 1], time) == PF_Err_NONE;
      }
      std::lock_guard lock(mutex_);
      failed_ = failed_ || !ok;
      if (--running_ == 0) done_.notify_one();
    }
  }

  host::EffectHost& host_;
  int sequence_;
  std::vector<std::unique_ptr<host::HostWorld>> worlds_; // input, output per thread
  std::vector<std::thread> threads_;
  std::atomic<A_long> nextFrame_{0};
  std::mutex mutex_;
  std::condition_variable start_;
  std::condition_variable done_;
  std::uint64_t round_ = 0;
  int active_ = 0;
  int framesEach_ = 0;
  int running_ = 0;
  bool failed_ = false;
  bool stopping_ = false;
};

// One plug-in instance with one sequence showing Warm Glow, and its render
// threads, made on first use.
class ThreadSetup : public SharedSetup<ThreadSetup> {
public:
  ~ThreadSetup() {
    threads_.reset();
    BenchModule::TearDown(*host_);
  }
  ThreadSetup(const ThreadSetup&) = delete;
  ThreadSetup& operator=(const ThreadSetup&) = delete;

  RenderThreads& Threads() { return *threads_; }

private:
  friend class SharedSetup<ThreadSetup>;
  ThreadSetup() {
    host_ = BenchModule::Instance().MakeHost(sequence_);
    BenchModule::ChooseEffect(*host_, sequence_, BenchModule::Example("WarmGlow"));
    threads_ = std::make_unique<RenderThreads>(*host_, sequence_);
    // Every thread's first frame, which fills the image pool and compiles
    // the kernel for the device, stays out of the time.
    if (threads_->Round(kMaxThreads, 1) < 0) throw std::runtime_error("the module refused the frame");
  }

  std::unique_ptr<host::EffectHost> host_;
  int sequence_ = -1;
  std::unique_ptr<RenderThreads> threads_;
};

// The iteration's time is the three rounds'; the counters hold each thread
// count's frames per second over the same iterations.
void Threads(benchmark::State& state) {
  auto& threads = ThreadSetup::Instance().Threads();
  std::array<double, kMaxThreads> seconds{};
  std::size_t turn = 0;
  for (auto _ : state) {
    double round = 0.0;
    for (std::size_t step = 0; step < seconds.size(); ++step) {
      const std::size_t slot = (turn + step) % seconds.size();
      const double time = threads.Round(static_cast<int>(slot) + 1, kFramesEach);
      if (time < 0) {
        state.SkipWithError("the module refused a frame");
        return;
      }
      seconds[slot] += time;
      round += time;
    }
    ++turn;
    state.SetIterationTime(round);
  }
  const double iterations = static_cast<double>(state.iterations());
  for (std::size_t slot = 0; slot < seconds.size(); ++slot) {
    const double frames = iterations * kFramesEach * static_cast<double>(slot + 1);
    state.counters["fps_" + std::to_string(slot + 1) + "t"] = seconds[slot] > 0 ? frames / seconds[slot] : 0.0;
  }
}

std::vector<RatioCheck> RegisterAll() {
  const std::string name = "Threads/WarmGlow/BGRA8/1080p";
  benchmark::RegisterBenchmark(name.c_str(), Threads)->UseManualTime()->Unit(benchmark::kMillisecond);
  return {
      {"2 threads / 1 thread, fps", {name, "fps_2t"}, BenchValue{name, "fps_1t"}, std::nullopt},
      {"GPU: 3 threads / 1 thread, fps", {name, "fps_3t"}, BenchValue{name, "fps_1t"}, 1.8, true, true},
  };
}

} // namespace
} // namespace brantok::lumaro::bench

int main(int argc, char** argv) {
  using namespace brantok::lumaro::bench;
  const int status = BenchRunner::Run(argc, argv, RegisterAll());
  ThreadSetup::Release();
  return status;
}

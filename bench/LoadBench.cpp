// Loading an effect package for a new sequence of one plug-in instance: the
// first load of a package, which compiles its kernel, against a later
// sequence loading the same package, which the effect cache serves, and
// against parsing the package's metadata alone. A load is the panel refresh
// (UPDATE_PARAMS_UI) that finds the Effect Path of a reopened project.
#include "BenchModule.h"
#include "BenchRunner.h"
#include "EffectPackage.h"
#include "SharedSetup.h"

#include "correction/EffectSourceMetadata.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace brantok::lumaro::bench {
namespace {

class LoadSetup : public SharedSetup<LoadSetup> {
public:
  ~LoadSetup() { BenchModule::TearDown(*host_); }
  LoadSetup(const LoadSetup&) = delete;
  LoadSetup& operator=(const LoadSetup&) = delete;

  host::EffectHost& Host() { return *host_; }

  // A Warm Glow package whose kernel text no compiler has seen: a comment
  // names the process and a counter, so neither the effect cache nor PoCL's
  // own kernel cache can answer for it.
  std::filesystem::path WriteUniquePackage() {
    const auto path = BenchRunner::Scratch() / ("Cold" + std::to_string(++written_) + ".lumaro-effect");
    const std::string kernel =
        kernel_ + "\n// load " + std::to_string(::getpid()) + "-" + std::to_string(written_) + "\n";
    EffectPackage::Write(path, kernel, metadata_, prompt_);
    return path;
  }

private:
  friend class SharedSetup<LoadSetup>;
  LoadSetup() :
      kernel_(BenchModule::ExampleText("WarmGlow", "kernel.cl")),
      metadata_(BenchModule::ExampleText("WarmGlow", "metadata.json")),
      prompt_(BenchModule::ExampleText("WarmGlow", "prompt.txt")) {
    int sequence = -1;
    host_ = BenchModule::Instance().MakeHost(sequence);
    // The instance has its GPU context and the example compiled before any
    // load is timed.
    BenchModule::ChooseEffect(*host_, sequence, BenchModule::Example("WarmGlow"));
    host_->SequenceSetdown(sequence);
  }

  std::unique_ptr<host::EffectHost> host_;
  std::string kernel_;
  std::string metadata_;
  std::string prompt_;
  int written_ = 0;
};

// Times one panel refresh of a fresh sequence whose Effect Path names
// `package`; the sequence's set-up and set-down stay outside the time.
// Without `package`, the Effect Path keeps the value it holds.
double TimeLoad(host::EffectHost& host, const std::optional<std::filesystem::path>& package) {
  int sequence = -1;
  host.SequenceSetup(sequence);
  if (package && !host.Params().WriteArbitraryText(4, package->string())) return -1.0;
  host.Params().SetPopupValue(3, 4);
  const auto start = std::chrono::steady_clock::now();
  const PF_Err error = host.UpdateParamsUI(sequence);
  const auto end = std::chrono::steady_clock::now();
  host.SequenceSetdown(sequence);
  // The host records every panel update; a record growing over thousands of
  // loads would reallocate inside the timed refreshes.
  host.ClearUIUpdates();
  if (error != PF_Err_NONE) return -1.0;
  return std::chrono::duration<double>(end - start).count();
}

void ColdLoad(benchmark::State& state) {
  auto& setup = LoadSetup::Instance();
  for (auto _ : state) {
    const auto package = setup.WriteUniquePackage();
    const double seconds = TimeLoad(setup.Host(), package);
    std::filesystem::remove(package);
    if (seconds < 0) {
      state.SkipWithError("the panel refresh failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
}

void CachedLoad(benchmark::State& state) {
  auto& setup = LoadSetup::Instance();
  const auto package = BenchModule::Example("WarmGlow");
  for (auto _ : state) {
    const double seconds = TimeLoad(setup.Host(), package);
    if (seconds < 0) {
      state.SkipWithError("the panel refresh failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
}

// A project reopened where its package is missing: the panel refresh loads
// the copy the project keeps, from memory. The copy is made the way a user
// makes it, by choosing the effect's item, before the file goes.
void KeptCopyLoad(benchmark::State& state) {
  auto& setup = LoadSetup::Instance();
  auto& host = setup.Host();
  const auto package = BenchRunner::Scratch() / "Kept.lumaro-effect";
  std::filesystem::copy_file(BenchModule::Example("WarmGlow"), package,
                             std::filesystem::copy_options::overwrite_existing);
  int sequence = -1;
  host.SequenceSetup(sequence);
  host.Params().WriteArbitraryText(4, package.string());
  host.Params().SetPopupValue(3, 4);
  const PF_Err chosen = host.UserChangedParam(sequence, 3);
  host.SequenceSetdown(sequence);
  std::filesystem::remove(package);
  if (chosen != PF_Err_NONE || host.Params().ArbitraryBytes(4).size() <= 2048) {
    state.SkipWithError("the project kept no copy of the package");
    return;
  }
  for (auto _ : state) {
    const double seconds = TimeLoad(host, std::nullopt);
    if (seconds < 0) {
      state.SkipWithError("the panel refresh failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
}

void ParseMetadata(benchmark::State& state) {
  const std::string text = BenchModule::ExampleText("WarmGlow", "metadata.json");
  for (auto _ : state) {
    correction::EffectSourceMetadata metadata(text);
    benchmark::DoNotOptimize(metadata);
  }
}

std::vector<RatioCheck> RegisterAll() {
  benchmark::RegisterBenchmark("Load/WarmGlow/Cold", ColdLoad)->UseManualTime()->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Load/WarmGlow/CacheHit", CachedLoad)->UseManualTime()->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Load/WarmGlow/KeptCopy", KeptCopyLoad)->UseManualTime()->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Load/WarmGlow/MetadataParse", ParseMetadata)
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  return {
      {"cache-hit load", {"Load/WarmGlow/CacheHit", ""}, std::nullopt, 1.0},
      {"cache-hit load / cold load", {"Load/WarmGlow/CacheHit", ""}, BenchValue{"Load/WarmGlow/Cold", ""}, 1.0 / 50},
      {"kept-copy load / cache-hit load",
       {"Load/WarmGlow/KeptCopy", ""},
       BenchValue{"Load/WarmGlow/CacheHit", ""},
       1.25},
      {"cache-hit load / metadata parse",
       {"Load/WarmGlow/CacheHit", ""},
       BenchValue{"Load/WarmGlow/MetadataParse", ""},
       std::nullopt},
  };
}

} // namespace
} // namespace brantok::lumaro::bench

int main(int argc, char** argv) {
  using namespace brantok::lumaro::bench;
  const int status = BenchRunner::Run(argc, argv, RegisterAll());
  LoadSetup::Release();
  return status;
}

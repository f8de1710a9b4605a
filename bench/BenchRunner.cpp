#include "BenchRunner.h"

#include "BenchPaths.h"
#include "OpenClDevice.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace brantok::lumaro::bench {
namespace {

std::filesystem::path& ScratchFolder() {
  static std::filesystem::path folder;
  return folder;
}

} // namespace

const std::filesystem::path& BenchRunner::Scratch() { return ScratchFolder(); }

int BenchRunner::Run(int argc, char** argv, std::vector<RatioCheck> checks) {
  const std::string program = std::filesystem::path(argv[0]).filename().string();
  ScratchFolder() = BenchPaths::Scratch() / (program + "-" + std::to_string(::getpid()));
  std::filesystem::create_directories(ScratchFolder() / "pocl-cache");
  ::setenv("XDG_DATA_HOME", (ScratchFolder() / "xdg-data").c_str(), 1);
  ::setenv("POCL_CACHE_DIR", (ScratchFolder() / "pocl-cache").c_str(), 1);

  // The module writes on std::cout until it is unloaded at exit, so the log
  // file stays open for the rest of the process.
  auto* moduleLog = new std::ofstream(ScratchFolder() / "module-stdout.log");
  std::ostream report(std::cout.rdbuf());
  std::cout.rdbuf(moduleLog->rdbuf());

  std::vector<std::string> arguments{argv[0], "--benchmark_repetitions=5",
                                     "--benchmark_enable_random_interleaving=true",
                                     "--benchmark_report_aggregates_only=true"};
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  std::vector<char*> pointers;
  for (auto& argument : arguments) pointers.push_back(argument.data());
  int count = static_cast<int>(pointers.size());
  benchmark::Initialize(&count, pointers.data());
  if (benchmark::ReportUnrecognizedArguments(count, pointers.data())) return 1;

  // The device goes into the context that heads the report and the JSON.
  const auto device = OpenClDevice::Chosen();
  benchmark::AddCustomContext("opencl_device", device ? device->text : std::string("none"));

  RatioReporter reporter(std::move(checks),
                         ::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                 : benchmark::ConsoleReporter::OO_Tabular,
                         device && device->gpu);
  reporter.SetOutputStream(&report);
  reporter.SetErrorStream(&std::cerr);
  const std::size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  // Files the module still holds open stay readable to it after the unlink.
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
  // A filter that matches nothing is a mistake in the caller's script.
  return ran > 0 ? 0 : 1;
}

} // namespace brantok::lumaro::bench

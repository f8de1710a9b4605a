#include "BenchPaths.h"

#include <cstdlib>

namespace brantok::lumaro::bench {
namespace {

std::filesystem::path FromEnvironment(const char* name, const char* builtIn) {
  const char* value = std::getenv(name);
  return value && *value ? std::filesystem::path(value) : std::filesystem::path(builtIn);
}

} // namespace

std::filesystem::path BenchPaths::Module() { return FromEnvironment("LUMARO_BENCH_MODULE", LUMARO_MODULE_PATH); }

std::filesystem::path BenchPaths::Effects() { return FromEnvironment("LUMARO_BENCH_EFFECTS", LUMARO_EFFECTS_DIR); }

std::filesystem::path BenchPaths::ExampleSources() {
  return FromEnvironment("LUMARO_BENCH_EXAMPLES", LUMARO_EXAMPLES_SOURCE_DIR);
}

std::filesystem::path BenchPaths::Scratch() { return FromEnvironment("LUMARO_BENCH_SCRATCH", LUMARO_BENCH_SCRATCH); }

} // namespace brantok::lumaro::bench

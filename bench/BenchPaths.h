#pragma once

#include <filesystem>

namespace brantok::lumaro::bench {

// Where the benchmark programs find the module, the example packages and the
// examples' sources, and where they keep scratch files. By default the build
// tree that made them; an environment variable of the same name moves each
// one, so that a copied bundle (scripts/gpu-bundle.sh) runs with no build
// tree present: LUMARO_BENCH_MODULE, LUMARO_BENCH_EFFECTS,
// LUMARO_BENCH_EXAMPLES and LUMARO_BENCH_SCRATCH.
class BenchPaths {
public:
  static std::filesystem::path Module();
  static std::filesystem::path Effects();
  static std::filesystem::path ExampleSources();
  static std::filesystem::path Scratch();
};

} // namespace brantok::lumaro::bench

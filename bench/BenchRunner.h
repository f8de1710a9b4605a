#pragma once

#include "RatioReporter.h"

#include <filesystem>
#include <vector>

namespace brantok::lumaro::bench {

// The main of every benchmark program. Before anything loads the module it
// gives the process its own scratch folder (the module's log folder and a
// fresh PoCL kernel cache, so no compile is served from an earlier run) and
// sends the module's log lines on standard output into a file there, leaving
// standard output to the report. Repetitions default to 5, randomly
// interleaved so that a module and its baselines share the machine's load,
// and only aggregates are shown; flags on the command line win.
class BenchRunner {
public:
  // The process's exit status: 1 when the flags are wrong or match no
  // benchmark (a missed goal is not a failure).
  static int Run(int argc, char** argv, std::vector<RatioCheck> checks);

  // The process's scratch folder (removed when Run returns).
  static const std::filesystem::path& Scratch();
};

} // namespace brantok::lumaro::bench

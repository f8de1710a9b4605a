// POSIX only: a tracer attached to the process counts as a debugger.
#include "core/DebugOutput.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace brantok::lumaro::core {

bool IsDebuggerAttached() {
  // The status names the tracing process, 0 for none. Without the line (no
  // /proc here) the number read is 0 too.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line) && !line.starts_with("TracerPid:")) {
  }
  return std::atol(line.c_str() + std::min<std::size_t>(line.size(), 10)) != 0;
}

// Standard error is unbuffered: the text is out when this returns.
void WriteDebugOutput(const std::string& text) { std::cerr << text; }

} // namespace brantok::lumaro::core

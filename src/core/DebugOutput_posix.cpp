// POSIX only: a tracer attached to the process counts as a debugger.
#include "core/DebugOutput.h"

#include <fstream>
#include <iostream>

namespace brantok::lumaro::core {

bool IsDebuggerAttached() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("TracerPid:", 0) == 0) {
      return std::stol(line.substr(10)) != 0;
    }
  }
  return false;
}

void WriteDebugOutput(const std::string& text) {
  std::cerr << text;
  std::cerr.flush();
}

} // namespace brantok::lumaro::core

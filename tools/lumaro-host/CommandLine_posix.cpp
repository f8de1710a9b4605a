// POSIX only: arguments are already UTF-8 bytes.
#include "CommandLine.h"

#include <system_error>

namespace brantok::lumaro::host {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

std::filesystem::path ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : path;
}

} // namespace brantok::lumaro::host

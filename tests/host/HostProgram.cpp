#include "HostProgram.h"

#include "TestEnvironment.h"

#include <cstdlib>
#include <mutex>

namespace brantok::lumaro::host::test {

void PrepareHostEnvironment() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Sanitizer builds: the program runs with the suppressions the tests use
    // plus PoCL's compiler (LLVM), whose allocations while it builds a kernel
    // for the first time have stacks that the fast unwinder ends inside LLVM,
    // short of the libpocl frame the suppressions name; and without the list
    // of used suppressions, which would be a second line on standard error.
    const char* options = std::getenv("LSAN_OPTIONS");
    lumaro::test::SetEnvironment("LSAN_OPTIONS", std::string(options ? options : "") +
                                                     ":suppressions=" LUMARO_CLI_LSAN_SUPPRESSIONS
                                                     ":print_suppressions=0");
    // The plug-in's log files stay in the build tree.
    const char* scratch = std::getenv("LUMARO_TEST_SCRATCH");
    if (scratch && *scratch && !std::getenv("XDG_DATA_HOME")) {
      lumaro::test::SetEnvironment("XDG_DATA_HOME", std::string(scratch) + "/xdg-data");
    }
  });
}

ProcessResult RunHost(const std::vector<std::string>& arguments) { return RunProgram(LUMARO_HOST_PATH, arguments); }

std::optional<ProcessResult> RunHostWithoutOpenCl(std::vector<std::string> arguments,
                                                  const std::filesystem::path& folder) {
  arguments.insert(arguments.end(), {"--module", LUMARO_MODULE_PATH});
  return RunProgramWithoutOpenCl(LUMARO_HOST_PATH, arguments, folder);
}

} // namespace brantok::lumaro::host::test

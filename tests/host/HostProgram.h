#pragma once

#include "ChildProcess.h"

#include <string>
#include <vector>

namespace brantok::lumaro::host::test {

// Sets up this process's environment, which the program under test inherits:
// sanitizer options that keep its standard error to its own lines, and a log
// folder inside the build tree. Repeated calls change nothing.
void PrepareHostEnvironment();

// Runs the built lumaro-host with these arguments.
ProcessResult RunHost(const std::vector<std::string>& arguments);
// The same as on a machine without an OpenCL driver (RunProgramWithoutOpenCl),
// with the built module; nothing where that cannot be had.
std::optional<ProcessResult> RunHostWithoutOpenCl(std::vector<std::string> arguments,
                                                  const std::filesystem::path& folder);

} // namespace brantok::lumaro::host::test

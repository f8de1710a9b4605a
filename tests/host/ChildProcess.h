#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::host::test {

struct ProcessResult {
  int exitCode = -1;
  std::string output; // standard output
  std::string errors; // standard error
};

// Runs a program to its end with these arguments (UTF-8), no shell between,
// and collects what it wrote. Standard input is empty. The child inherits the
// environment.
ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// The same as on a machine without an OpenCL driver, `folder` being an empty
// folder of the caller's: the ICD loader searches it for drivers, or under
// Wine a copy of the program there is told not to load opencl.dll. Nothing on
// Windows itself, where only removing the driver would do.
std::optional<ProcessResult> RunProgramWithoutOpenCl(const std::filesystem::path& program,
                                                     const std::vector<std::string>& arguments,
                                                     const std::filesystem::path& folder);

} // namespace brantok::lumaro::host::test

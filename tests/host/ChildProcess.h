#pragma once

#include <filesystem>
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

} // namespace brantok::lumaro::host::test

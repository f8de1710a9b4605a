#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

// The program's arguments after its name, as UTF-8 (Windows hands main()
// the ANSI code page's text, so there they are read again as UTF-16).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The running executable's own file; empty when it cannot be found.
std::filesystem::path ExecutablePath();

} // namespace brantok::lumaro::host

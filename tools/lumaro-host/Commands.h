#pragma once

#include <string>
#include <vector>

namespace brantok::lumaro::host {

// The commands of lumaro-host, each given the arguments after its name.
// They return the exit status; failures throw CliError.

// Renders one frame of an effect package over a PNG through the plug-in.
int RunRender(const std::vector<std::string>& arguments);
// Describes an effect package and whether its kernel builds in the plug-in.
int RunInfo(const std::vector<std::string>& arguments);
// Does one user action in the effect's panel and answers the plug-in's
// dialogs from the command line; prints the dialogs and the resulting state.
int RunAction(const std::vector<std::string>& arguments);
// Writes the test card PNG.
int RunSample(const std::vector<std::string>& arguments);
// Lays PNGs out in a grid, for before and after comparisons.
int RunSheet(const std::vector<std::string>& arguments);

std::string Usage();

} // namespace brantok::lumaro::host

// lumaro-host: the command-line host of the Lumaro effect plug-in.
#include "CliError.h"
#include "CommandLine.h"
#include "Commands.h"
#include "ScriptedUser.h"
#include "ae/EffectExport.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace brantok::lumaro::host;

int Fail(std::string message) {
  // Exactly one line, whatever the message carries.
  std::replace(message.begin(), message.end(), '\n', ' ');
  std::replace(message.begin(), message.end(), '\r', ' ');
  std::cerr << "lumaro-host: " << message << "\n";
  return 1;
}

int Run(const std::vector<std::string>& arguments) {
  if (arguments.empty())
    throw CliError("no command given (render, info, action, sample, sheet; 'lumaro-host help' explains)");
  const std::string& command = arguments.front();
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (command == "render") return RunRender(rest);
  if (command == "info") return RunInfo(rest);
  if (command == "action") return RunAction(rest);
  if (command == "sample") return RunSample(rest);
  if (command == "sheet") return RunSheet(rest);
  if (command == "help" || command == "--help" || command == "-h") {
    std::cout << Usage();
    return 0;
  }
  throw CliError("unknown command '" + command + "' (render, info, action, sample, sheet or help)");
}

} // namespace

// The module looks this up to answer its dialogs; null outside `action`, so
// that the other commands get the plug-in's usual dialogs.
LUMARO_EFFECT_EXPORT brantok::lumaro::core::IDialogResponder* LumaroEffectDialogResponder() {
  return brantok::lumaro::host::ScriptedUser::Active();
}

int main(int argc, char** argv) {
  try {
    return Run(CommandLineArguments(argc, argv));
  } catch (const CliError& error) {
    return Fail(error.what());
  } catch (const std::exception& error) {
    return Fail(std::string("unexpected failure: ") + error.what());
  } catch (...) {
    return Fail("unexpected failure");
  }
}

// lumaro-host: the command-line host of the Lumaro effect plug-in.
#include "PackageInfo.h"

#include "core/Logger.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "usage: lumaro-host info --effect PKG [--json]\n";

int Info(const std::vector<std::string>& args) {
  std::string effect;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--effect" && i + 1 < args.size()) {
      effect = args[++i];
    } else if (args[i] == "--json") {
      json = true;
    } else {
      std::cerr << "lumaro-host: unknown argument '" << args[i] << "'\n" << kUsage;
      return 1;
    }
  }
  if (effect.empty()) {
    std::cerr << "lumaro-host: info needs --effect PKG\n" << kUsage;
    return 1;
  }
  const auto info = brantok::lumaro::host::ReadPackageInfo(effect);
  std::cout << (json ? info.dump(2) + "\n" : brantok::lumaro::host::FormatPackageInfo(info));
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  // The plug-in's code reports failures through its log; the last error is
  // the most precise reason to show.
  static std::string lastError; // outlives every handler call
  brantok::lumaro::core::Logger::AddHandler([](brantok::lumaro::core::eLogChannel channel, const std::string& message) {
    if (channel == brantok::lumaro::core::eLogChannel::Error) lastError = message;
  });
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
      std::cerr << kUsage;
      return 1;
    }
    if (args[0] == "info") return Info({args.begin() + 1, args.end()});
    std::cerr << "lumaro-host: unknown command '" << args[0] << "'\n" << kUsage;
    return 1;
  } catch (const std::exception& error) {
    std::cerr << "lumaro-host: " << (lastError.empty() ? error.what() : lastError) << "\n";
    return 1;
  }
}

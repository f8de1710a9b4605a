#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace brantok::lumaro::host {

// Remembers how long the plug-in's dated log files ("LumaroEffect_*.log" in
// the log folder) are, so that what was appended since can be read back.
// Other processes that load the module in the same second append to the same
// file, so this is only the fallback for when the plug-in's error lines did not
// reach standard error (a debugger attached takes them instead).
class LogFileWatch {
public:
  LogFileWatch();

  // Text appended to the log files since construction, or since the last call.
  std::string Appended();

private:
  std::map<std::filesystem::path, std::uintmax_t> sizes_;
};

} // namespace brantok::lumaro::host

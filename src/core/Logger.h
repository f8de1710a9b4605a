#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace brantok::lumaro::core {

enum class eLogChannel : int {
  Info = 0,  // progress, information, warnings
  Error = 1, // failures
};

using LogHandler = std::function<void(eLogChannel channel, const std::string& message)>;

// The one reporting channel of the plug-in. Messages are finished texts with
// no timestamp or prefix; every handler receives every message, in the order
// the handlers were added. The module installs the handlers when it is loaded
// and removes them when it is unloaded; until then messages are dropped.
class Logger {
public:
  Logger() = delete;

  // Calls every handler with the message. Concurrent callers are serialised so
  // that lines from different threads never interleave.
  static void Log(const std::string& message, eLogChannel channel);

  static void AddHandler(LogHandler handler);

  // Debugger output when a debugger is attached, else standard output (Info)
  // or standard error (Error).
  static void AddDefaultHandler();

  // Appends to `file`, or to a dated file "<name>_<dd-mm-yyyy_HH-MM-SS>.log" in
  // GetLogDirectory() when no file is given, creating missing folders. Every
  // message is flushed before Log returns. Never throws: when the file cannot
  // be prepared, "Failed to create log file: <path>" goes to the handlers
  // already present and no file handler is added.
  static void AddFileHandler(std::optional<std::string> name, std::optional<std::filesystem::path> file);

  // <local application data>/BRANTOKSTUDIO/<product name>/Logs, or the same
  // below the temporary folder when the application-data folder is unknown.
  // Does not create anything.
  static std::filesystem::path GetLogDirectory();

  // Destroys every handler (closing the log file); used at module unload.
  static void RemoveHandlers();

  // The dated log file name for `time` (UTC), e.g.
  // "LumaroEffect_05-12-2026_07-08-29.log", or without "<name>_".
  static std::string MakeLogFileName(const std::optional<std::string>& name,
                                     std::chrono::system_clock::time_point time);
};

} // namespace brantok::lumaro::core

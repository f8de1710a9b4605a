#include "core/Logger.h"

#include "core/DebugOutput.h"
#include "core/LocalAppData.h"
#include "core/PathText.h"
#include "core/ProductInformation.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace brantok::lumaro::core {
namespace {

struct HandlerList {
  std::mutex mutex;
  std::vector<LogHandler> handlers;
};

HandlerList& Handlers() {
  static HandlerList list;
  return list;
}

void WriteToDefaultOutput(eLogChannel channel, const std::string& message) {
  if (IsDebuggerAttached()) {
    WriteDebugOutput(message + "\n");
    return;
  }
  std::ostream& stream = channel == eLogChannel::Error ? std::cerr : std::cout;
  stream << message << '\n';
  stream.flush();
}

void PrepareFolder(const std::filesystem::path& folder) {
  if (folder.empty()) return;
  std::error_code error;
  const auto status = std::filesystem::status(folder, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    throw std::filesystem::filesystem_error("Cannot query log folder", folder, error);
  }
  if (std::filesystem::exists(status)) {
    if (!std::filesystem::is_directory(status)) {
      throw std::filesystem::filesystem_error("Log folder is not a folder", folder,
                                              std::make_error_code(std::errc::not_a_directory));
    }
    return;
  }
  std::filesystem::create_directories(folder);
}

} // namespace

void Logger::Log(const std::string& message, eLogChannel channel) {
  auto& list = Handlers();
  std::lock_guard lock(list.mutex);
  for (const auto& handler : list.handlers) handler(channel, message);
}

void Logger::AddHandler(LogHandler handler) {
  auto& list = Handlers();
  std::lock_guard lock(list.mutex);
  list.handlers.push_back(std::move(handler));
}

void Logger::AddDefaultHandler() { AddHandler(WriteToDefaultOutput); }

void Logger::AddFileHandler(std::optional<std::string> name, std::optional<std::filesystem::path> file) {
  std::filesystem::path target;
  try {
    target = file ? *file : GetLogDirectory() / MakeLogFileName(name, std::chrono::system_clock::now());
    PrepareFolder(target.parent_path());
    auto stream = std::make_shared<std::ofstream>(target, std::ios::out | std::ios::app);
    AddHandler([stream](eLogChannel, const std::string& message) {
      *stream << message << '\n';
      stream->flush();
    });
  } catch (const std::exception&) {
    Log("Failed to create log file: " + PathToNarrow(target), eLogChannel::Error);
  }
}

std::filesystem::path Logger::GetLogDirectory() {
  std::filesystem::path result;
  if (GetLocalAppDataPath(result, std::string(ProductInformation::Name))) return result / "Logs";
  std::error_code error;
  const auto temp = std::filesystem::temp_directory_path(error);
  return temp / std::string(ProductInformation::CompanyFolderName) / std::string(ProductInformation::Name) / "Logs";
}

void Logger::RemoveHandlers() {
  auto& list = Handlers();
  std::vector<LogHandler> removed;
  {
    std::lock_guard lock(list.mutex);
    removed.swap(list.handlers);
  }
}

std::string Logger::MakeLogFileName(const std::optional<std::string>& name,
                                    std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto seconds = time_point_cast<std::chrono::seconds>(time);
  const auto day = floor<days>(seconds);
  const year_month_day date{day};
  const hh_mm_ss clock{seconds - day};
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02u-%02u-%04d_%02d-%02d-%02d", static_cast<unsigned>(date.day()),
                static_cast<unsigned>(date.month()), static_cast<int>(date.year()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return (name ? *name + "_" : std::string()) + stamp + ".log";
}

} // namespace brantok::lumaro::core

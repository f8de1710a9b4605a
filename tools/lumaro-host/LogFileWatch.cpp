#include "LogFileWatch.h"

#include "core/Logger.h"

#include <fstream>
#include <system_error>

namespace brantok::lumaro::host {
namespace {

std::map<std::filesystem::path, std::uintmax_t> LogFileSizes() {
  std::map<std::filesystem::path, std::uintmax_t> sizes;
  std::error_code error;
  const auto folder = core::Logger::GetLogDirectory();
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    // Names the code page cannot show are not log files of ours.
    std::string name;
    try {
      name = it->path().filename().string();
    } catch (const std::exception&) {
      continue;
    }
    if (!name.starts_with("LumaroEffect_") || !name.ends_with(".log")) continue;
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(it->path(), sizeError);
    if (!sizeError) sizes[it->path()] = size;
  }
  return sizes;
}

} // namespace

LogFileWatch::LogFileWatch() : sizes_(LogFileSizes()) {}

std::string LogFileWatch::Appended() {
  std::string text;
  auto now = LogFileSizes();
  for (const auto& [path, size] : now) {
    const auto known = sizes_.find(path);
    const std::uintmax_t from = known == sizes_.end() ? 0 : known->second;
    if (size <= from) continue;
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(from));
    std::string part(static_cast<std::size_t>(size - from), '\0');
    file.read(part.data(), static_cast<std::streamsize>(part.size()));
    part.resize(static_cast<std::size_t>(file.gcount()));
    text += part;
  }
  sizes_ = std::move(now);
  return text;
}

} // namespace brantok::lumaro::host

#include "ae/FileWatch.h"

namespace brantok::lumaro::ae {

std::optional<core::FileStamp> FileWatch::Stamp(const std::filesystem::path& path) {
  const auto now = std::chrono::steady_clock::now();
  if (const auto found = looks_.find(path.native()); found != looks_.end() && now - found->second.at < Interval) {
    return found->second.stamp;
  }
  return StampNow(path);
}

std::optional<core::FileStamp> FileWatch::StampNow(const std::filesystem::path& path) {
  if (looks_.size() >= MaxPaths) looks_.clear();
  auto stamp = core::ReadFileStamp(path);
  looks_[path.native()] = Look{std::chrono::steady_clock::now(), stamp};
  return stamp;
}

} // namespace brantok::lumaro::ae

#include "ae/FileWatch.h"

namespace brantok::lumaro::ae {

std::optional<core::FileStamp> FileWatch::Stamp(const std::filesystem::path& path) {
  const auto now = now_();
  if (const auto found = looks_.find(path.native()); found != looks_.end() && now - found->second.at < Interval) {
    return found->second.stamp;
  }
  return StampNow(path);
}

std::optional<core::FileStamp> FileWatch::StampNow(const std::filesystem::path& path) {
  if (looks_.size() >= MaxPaths) looks_.clear();
  auto stamp = core::ReadFileStamp(path);
  looks_[path.native()] = Look{now_(), stamp};
  return stamp;
}

} // namespace brantok::lumaro::ae

#pragma once

#include "core/FileStamp.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace brantok::lumaro::ae {

// Looks at package files for the clips that use them, at most once per
// Interval per path: frames ask on every render, and must not each pay a
// file-system query, while an editor's save should show within a fraction of
// a second. No lock of its own: the instance's effect-map lock guards it.
class FileWatch final {
public:
  static constexpr std::chrono::milliseconds Interval{250};
  // Paths of clips long gone are not kept for ever: past this many the watch
  // forgets them all and looks again.
  static constexpr std::size_t MaxPaths = 1024;

  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // `now` tells the time: the steady clock, or a test's own.
  explicit FileWatch(Clock now = std::chrono::steady_clock::now) : now_(std::move(now)) {}

  // The file's stamp as last looked at, looked at anew once Interval has
  // passed; nothing while the file is missing.
  std::optional<core::FileStamp> Stamp(const std::filesystem::path& path);
  // The file's stamp now: a user's choice always reads the disk as it is.
  std::optional<core::FileStamp> StampNow(const std::filesystem::path& path);

private:
  struct Look {
    std::chrono::steady_clock::time_point at;
    std::optional<core::FileStamp> stamp;
  };
  Clock now_;
  std::unordered_map<std::filesystem::path::string_type, Look> looks_;
};

} // namespace brantok::lumaro::ae

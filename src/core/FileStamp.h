#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace brantok::lumaro::core {

// What tells one version of a file from the next without reading it: its
// size, its modification time and its identity on the file system, so that a
// file replaced by renaming another over it counts as changed even when size
// and time happen to agree.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0; // in the file system's own units
  std::uint64_t volume = 0;
  std::uint64_t file = 0;

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the regular file at `path`; nothing when there is none or it
// cannot be asked.
std::optional<FileStamp> ReadFileStamp(const std::filesystem::path& path);

} // namespace brantok::lumaro::core

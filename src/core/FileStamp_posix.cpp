// POSIX only: one stat gives all four.
#include "core/FileStamp.h"

#include <sys/stat.h>

namespace brantok::lumaro::core {

std::optional<FileStamp> ReadFileStamp(const std::filesystem::path& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  FileStamp stamp;
  stamp.size = static_cast<std::uint64_t>(status.st_size);
  stamp.modified = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
  stamp.volume = static_cast<std::uint64_t>(status.st_dev);
  stamp.file = static_cast<std::uint64_t>(status.st_ino);
  return stamp;
}

} // namespace brantok::lumaro::core

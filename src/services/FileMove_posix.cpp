// POSIX only: rename, which replaces an existing file at the target. It fails
// across file systems, where MoveFileWithFallback copies instead.
#include "services/FileMove.h"

#include <cstdio>
#include <system_error>

namespace brantok::lumaro::services {

bool MoveFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
}

} // namespace brantok::lumaro::services

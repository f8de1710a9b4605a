#include "services/FileMove.h"

#include <system_error>

namespace brantok::lumaro::services {

bool MoveFileWithFallback(const std::filesystem::path& from, const std::filesystem::path& to, const FileMover& move) {
  if (move(from, to)) return true;
  // Copying a file onto itself and then removing it would lose it.
  std::error_code error;
  if (std::filesystem::equivalent(from, to, error)) return false;
  if (!CopyFileReplacing(from, to)) return false;
  return std::filesystem::remove(from, error);
}

} // namespace brantok::lumaro::services

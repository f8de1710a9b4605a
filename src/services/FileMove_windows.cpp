// Windows only: MoveFileExW, allowed to copy and delete across volumes, and
// CopyFileW. MinGW's std::filesystem::copy_file (GCC 12) fails with "File
// exists" whenever the target exists, even when told to overwrite it.
#include "services/FileMove.h"

#include "core/WindowsSupport.h"

namespace brantok::lumaro::services {

bool MoveFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

} // namespace brantok::lumaro::services

#pragma once

#include <filesystem>
#include <functional>

namespace brantok::lumaro::services {

// Moves a file, replacing a file already at `to`, in the platform's own way:
// MoveFileExW (which also copies across volumes) on Windows, rename
// elsewhere. Returns false when the file did not move; never throws.
bool MoveFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Copies a file over `to`, replacing a file already there. Returns false when
// it did not copy; never throws.
bool CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

using FileMover = std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)>;

// Moves with `move` and, when that fails (another file system, for a rename),
// copies over `to` and then removes `from`. Returns true only when `from` is
// gone and its content is at `to`: when the copy worked but the removal did
// not, both files exist and the result is false. Never throws.
bool MoveFileWithFallback(const std::filesystem::path& from, const std::filesystem::path& to,
                          const FileMover& move = MoveFileReplacing);

} // namespace brantok::lumaro::services

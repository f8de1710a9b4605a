#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace brantok::lumaro::services {

// Takes over an effect package that the Lumaro desktop application left in
// its share folder (<local application data>/BRANTOKSTUDIO/BRANTOK Lumaro/
// Share/premiere): asks the user whether to receive it, lets them choose where
// to keep it, and moves it there, out of the share folder. Returns the new
// path, or nothing when nothing was received; the user has then been told why,
// except when they declined or cancelled. The share folder is never created
// or written to.
std::optional<std::filesystem::path> SyncFromLumaro();

// The first regular file directly in `folder` (in listing order) whose
// extension is exactly `extension` (case-sensitive, e.g. ".lumaro-effect").
// Nothing when there is none or the folder cannot be opened; an error while
// listing throws std::filesystem::filesystem_error.
std::optional<std::filesystem::path> FindFileWithExtension(const std::filesystem::path& folder,
                                                           const std::string& extension);

} // namespace brantok::lumaro::services

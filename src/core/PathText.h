#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brantok::lumaro::core {

// Paths cross into narrow text at three places, each with its own encoding.

// UTF-8, as the zip reader and the Effect Path parameter take paths.
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The file-system code page, for paths in log lines, message boxes and effect
// names: UTF-8 when the runtime's locale uses UTF-8, otherwise the code page
// of the Windows file functions. Characters the code page lacks become '?'.
std::string PathToNarrow(const std::filesystem::path& path);

} // namespace brantok::lumaro::core

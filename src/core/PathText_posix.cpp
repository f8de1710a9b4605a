// POSIX only: paths are byte strings, taken as UTF-8 throughout.
#include "core/PathText.h"

namespace brantok::lumaro::core {

std::string PathToUtf8(const std::filesystem::path& path) { return path.string(); }

std::filesystem::path PathFromUtf8(std::string_view utf8) { return std::filesystem::path(utf8); }

std::string PathToNarrow(const std::filesystem::path& path) { return path.string(); }

} // namespace brantok::lumaro::core

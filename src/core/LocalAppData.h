#pragma once

#include <filesystem>
#include <string>

namespace brantok::lumaro::core {

// Sets `out` to <per-user local application data>/BRANTOKSTUDIO/<applicationName>
// and returns true when that folder is known; otherwise returns false and
// leaves `out` untouched. Creates nothing.
bool GetLocalAppDataPath(std::filesystem::path& out, std::string applicationName);

} // namespace brantok::lumaro::core

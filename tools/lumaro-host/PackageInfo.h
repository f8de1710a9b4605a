#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

namespace brantok::lumaro::host {

// What an effect package contains, read with the plug-in's own package and
// metadata code. Throws when the package cannot be read; the reader's own
// reason goes to the log on channel Error.
nlohmann::json ReadPackageInfo(const std::filesystem::path& package);

// The same facts as readable text, one item a line.
std::string FormatPackageInfo(const nlohmann::json& info);

} // namespace brantok::lumaro::host

#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace brantok::lumaro::test {

// Sets (or with no value removes) an environment variable of this process.
void SetEnvironment(const std::string& name, const std::optional<std::string>& value);

// The per-user local application-data folder as the platform itself reports
// it, independently of the code under test: %LOCALAPPDATA% on Windows,
// $XDG_DATA_HOME or ~/.local/share elsewhere.
std::optional<std::filesystem::path> PlatformLocalAppData();

} // namespace brantok::lumaro::test

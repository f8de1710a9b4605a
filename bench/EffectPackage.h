#pragma once

#include <filesystem>
#include <string>

namespace brantok::lumaro::bench {

// Writes effect packages for the load benchmark: a zip archive with
// "metadata.json", "kernel.cl" and "prompt.txt", as the desktop application
// makes them.
class EffectPackage {
public:
  // Throws std::runtime_error when the archive cannot be written.
  static void Write(const std::filesystem::path& path, const std::string& kernel, const std::string& metadata,
                    const std::string& prompt);
};

} // namespace brantok::lumaro::bench

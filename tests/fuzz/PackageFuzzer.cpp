#include "FuzzTargets.h"

#include "correction/EffectSourceMetadata.h"
#include "correction/effects/library/Entry.h"
#include "correction/effects/library/ZipArchive.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace brantok::lumaro::fuzz {
namespace {

using correction::effects::library::Entry;
using correction::effects::library::ZipArchive;

// The reader takes a path, so every input is written to one file of this
// process, removed when the process ends.
class PackageFile {
public:
  PackageFile() {
    std::filesystem::path folder;
    if (const char* scratch = std::getenv("LUMARO_TEST_SCRATCH")) folder = scratch;
    std::error_code error;
    if (folder.empty()) folder = std::filesystem::temp_directory_path(error);
    path_ = folder / ("package-fuzz-" + std::to_string(std::random_device{}()) + ".lumaro-effect");
  }
  ~PackageFile() {
    std::error_code error;
    std::filesystem::remove(path_, error);
  }
  PackageFile(const PackageFile&) = delete;
  PackageFile& operator=(const PackageFile&) = delete;

  const std::filesystem::path& Write(const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (size > 0) out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    Expect(static_cast<bool>(out), "cannot write the package file");
    return path_;
  }

private:
  std::filesystem::path path_;
};

} // namespace

int FuzzPackage(const std::uint8_t* data, std::size_t size) {
  static PackageFile file;
  const auto& path = file.Write(data, data ? size : 0);

  Entry entry(path);
  const auto& prompt = entry.GetPrompt();
  Expect(prompt.size() <= ZipArchive::MaxEntrySize, "a prompt above the entry limit was read");
  const auto source = entry.GetSource();
  if (!source) return 0;
  Expect(source->kernelSource.size() <= ZipArchive::MaxEntrySize, "a kernel above the entry limit was read");
  Expect(source->metadata.size() <= ZipArchive::MaxEntrySize, "metadata above the entry limit was read");
  Expect(entry.GetSource() == source, "a second read gave another source");
  try {
    const correction::EffectSourceMetadata metadata(source->metadata);
  } catch (const std::exception&) {
    // The loader reports malformed metadata; the package itself was readable.
  }
  return 0;
}

} // namespace brantok::lumaro::fuzz

#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

struct zip;

namespace brantok::lumaro::correction::effects::library {

// Owns one open zip archive, read only, and closes it when destroyed.
class ZipArchive {
public:
  // Entries larger than this are refused: effect texts are small, and the
  // declared size of a hostile archive must not decide how much we allocate.
  static constexpr std::uint64_t MaxEntrySize = 16u * 1024u * 1024u;

  // A package file larger than this is not read: it could not hold three
  // entries of at most MaxEntrySize and a directory much beyond it.
  static constexpr std::uint64_t MaxFileSize = 4 * MaxEntrySize;

  // The whole file, read in one go, so that every entry taken from it comes
  // from the same version of the file even while it is being replaced. Null
  // when it is not a regular file, cannot be read or exceeds MaxFileSize.
  static std::shared_ptr<const std::string> ReadFile(const std::filesystem::path& path);

  // The archive in `bytes`, which it keeps alive. Null when they are not a
  // zip archive or it is damaged.
  static std::unique_ptr<ZipArchive> Open(std::shared_ptr<const std::string> bytes);

  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // The index of the entry with exactly this name (folders included),
  // ignoring ASCII case.
  std::optional<std::uint64_t> Locate(const std::string& name) const;

  // Inflates the whole entry into `out` with its CRC verified. False on any
  // failure (unsupported method, encryption, CRC mismatch, truncated or
  // oversized data), leaving `out` unchanged.
  bool Extract(std::uint64_t index, std::string& out) const;

private:
  ZipArchive(zip* archive, std::shared_ptr<const std::string> bytes);
  zip* archive_;
  std::shared_ptr<const std::string> bytes_;
};

} // namespace brantok::lumaro::correction::effects::library

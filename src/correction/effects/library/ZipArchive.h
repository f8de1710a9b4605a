#pragma once

#include <cstdint>
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

  // Null when the file is missing, not a zip archive or damaged.
  static std::unique_ptr<ZipArchive> Open(const std::string& utf8Path);

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
  explicit ZipArchive(zip* archive);
  zip* archive_;
};

} // namespace brantok::lumaro::correction::effects::library

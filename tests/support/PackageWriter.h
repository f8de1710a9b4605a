#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brantok::lumaro::test {

struct PackageEntry {
  std::string name;
  std::string content;
  bool compressed = true; // deflate; false stores the bytes as they are
};

// Writes a zip archive with exactly these entries, in order.
void WritePackage(const std::filesystem::path& path, const std::vector<PackageEntry>& entries);

// The bytes of such an archive, for a test to write where and when it likes.
std::string PackageBytes(const std::vector<PackageEntry>& entries);

// The three usual entries of an effect package.
std::vector<PackageEntry> StandardEntries(const std::string& kernel, const std::string& metadata,
                                          const std::string& prompt);

// Flips one byte of a stored entry's data in the archive file, keeping its
// recorded CRC, so that extraction sees a CRC mismatch. `content` must be
// unique within the file.
void CorruptStoredContent(const std::filesystem::path& package, const std::string& content);

// Rewrites the uncompressed size that the archive records for `entry` (in its
// local header and in the central directory), leaving the data as it is: an
// archive that lies about the size of what it holds.
void SetDeclaredSize(const std::filesystem::path& package, const std::string& entry, std::uint32_t size);

} // namespace brantok::lumaro::test

#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>

namespace brantok::lumaro::core {

// A three-part version number. The record is copied byte for byte into the
// sequence data that hosts keep in their projects, so its field order and
// widths are part of that file format and must not change.
struct Version {
  std::int32_t major = 0;
  std::int32_t minor = 0;
  std::int32_t patch = 0;
  bool valid = false;

  Version() = default;
  Version(std::int32_t majorNumber, std::int32_t minorNumber, std::int32_t patchNumber);

  // Parses "major.minor.patch". Never throws: text that does not parse leaves
  // the record not valid (a parse failure is logged) and keeps the numbers
  // converted before the failure.
  explicit Version(const std::string& text);

  std::string ToString() const;

  // Ordered by (major, minor, patch) as signed numbers; `valid` takes no part.
  friend std::strong_ordering operator<=>(const Version& a, const Version& b) {
    if (auto c = a.major <=> b.major; c != 0) return c;
    if (auto c = a.minor <=> b.minor; c != 0) return c;
    return a.patch <=> b.patch;
  }
  friend bool operator==(const Version& a, const Version& b) { return (a <=> b) == 0; }
};

static_assert(sizeof(Version) == 16, "Version is stored in project files");
static_assert(offsetof(Version, major) == 0 && offsetof(Version, minor) == 4 && offsetof(Version, patch) == 8 &&
                  offsetof(Version, valid) == 12,
              "Version is stored in project files");

} // namespace brantok::lumaro::core

#include "core/Version.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace brantok::lumaro::core {
namespace {

struct Parsed {
  std::int32_t major, minor, patch;
  bool valid;
};

void ExpectParsed(const std::string& text, Parsed expected) {
  const Version version(text);
  EXPECT_EQ(version.major, expected.major) << text;
  EXPECT_EQ(version.minor, expected.minor) << text;
  EXPECT_EQ(version.patch, expected.patch) << text;
  EXPECT_EQ(version.valid, expected.valid) << text;
}

TEST(VersionTest, ParsesLikeStringToIntConversions) {
  ExpectParsed("1.0.0", {1, 0, 0, true});
  ExpectParsed(" 3.4.5", {3, 4, 5, true});
  ExpectParsed("2.10.3-beta", {2, 10, 3, true});
  ExpectParsed("-1.+2.3", {-1, 2, 3, true});
  ExpectParsed("2147483647.0.-2147483648", {2147483647, 0, -2147483648, true});
}

TEST(VersionTest, FailedConversionIsReportedButTooFewDotsAreNot) {
  const test::LogCapture log;
  ExpectParsed("1.2", {0, 0, 0, false});
  ExpectParsed("", {0, 0, 0, false});
  // Every parse logs the product name and the result; these two nothing else.
  EXPECT_EQ(log.Lines(),
            (std::vector<std::string>{"BRANTOK Lumaro Adobe Plugin 0.0.0", "BRANTOK Lumaro Adobe Plugin 0.0.0"}));
  ExpectParsed("1..2", {1, 0, 0, false});
  ExpectParsed("99999999999.0.0", {0, 0, 0, false});
  ExpectParsed("1.2.2147483648", {1, 2, 0, false});
  const auto entries = log.Entries();
  ASSERT_EQ(log.Count("Failed to parse version string: "), 3);
  EXPECT_EQ(entries[2], std::make_pair(eLogChannel::Error, std::string("Failed to parse version string: 1..2")));
  EXPECT_EQ(entries[3], std::make_pair(eLogChannel::Info, std::string("BRANTOK Lumaro Adobe Plugin 1.0.0")));
}

TEST(VersionTest, OrdersNumericallyNotTextuallyAndFormatsWithSigns) {
  EXPECT_GT(Version("2.10.3"), Version("2.9.99"));
  EXPECT_LT(Version("0.9.9"), Version("1.0.0"));
  EXPECT_GT(Version("1.0.0"), Version("-1.5.5"));
  EXPECT_EQ(Version("1.0.0"), Version(1, 0, 0));
  EXPECT_FALSE(Version("1.0.0") > Version("1.0.0"));
  EXPECT_EQ(Version(-1, 20, 3).ToString(), "-1.20.3");
}

TEST(VersionTest, RecordBytesAreTheStoredFormat) {
  // The record is copied into project files: numbers little-endian, then the flag.
  const Version version(1, 2, 3);
  unsigned char bytes[sizeof(Version)];
  std::memcpy(bytes, &version, 13);
  const unsigned char expected[13] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1};
  EXPECT_EQ(std::memcmp(bytes, expected, 13), 0);
}

} // namespace
} // namespace brantok::lumaro::core

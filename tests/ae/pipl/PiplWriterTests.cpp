#include "ae/pipl/PiplWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace brantok::lumaro::ae {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A list of one property: its length field and data, after the list's header
// and the property's vendor, key and id.
Bytes LengthAndData(const PiplWriter& writer) {
  const auto bytes = writer.Bytes();
  return {bytes.begin() + 22, bytes.end()};
}

Bytes PascalString(const std::string& text) {
  PiplWriter writer;
  writer.AddPascalString(PiplWriter::Code("pstr"), text);
  return LengthAndData(writer);
}

Bytes CString(const std::string& text) {
  PiplWriter writer;
  writer.AddCString(PiplWriter::Code("cstr"), text);
  return LengthAndData(writer);
}

TEST(PiplWriterTest, PascalStringsArePaddedAndTheLengthCountsThePadding) {
  EXPECT_EQ(PascalString(""), (Bytes{4, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(PascalString("abc"), (Bytes{4, 0, 0, 0, 3, 'a', 'b', 'c'}));
  EXPECT_EQ(PascalString("abcd"), (Bytes{8, 0, 0, 0, 4, 'a', 'b', 'c', 'd', 0, 0, 0}));
}

TEST(PiplWriterTest, CStringsEndWithANulBeforeThePadding) {
  EXPECT_EQ(CString("abc"), (Bytes{4, 0, 0, 0, 'a', 'b', 'c', 0}));
  EXPECT_EQ(CString("abcd"), (Bytes{8, 0, 0, 0, 'a', 'b', 'c', 'd', 0, 0, 0, 0}));
}

// A refused property leaves nothing behind: the list counts what it holds.
TEST(PiplWriterTest, RefusesPascalStringsLongerThanTheLengthByteCanSayAndCStringsHoldingANul) {
  PiplWriter writer;
  writer.AddPascalString(PiplWriter::Code("full"), std::string(255, 'x'));
  EXPECT_THROW(writer.AddPascalString(PiplWriter::Code("over"), std::string(256, 'x')), std::invalid_argument);
  EXPECT_THROW(writer.AddCString(PiplWriter::Code("8664"), std::string("Effect\0Main", 11)), std::invalid_argument);
  const auto bytes = writer.Bytes();
  ASSERT_EQ(bytes.size(), 10u + 16u + 256u);
  EXPECT_EQ(bytes[6], 1);
  EXPECT_EQ(LengthAndData(writer)[1], 1) << "length 256";
  EXPECT_EQ(bytes[26], 255);
}

} // namespace
} // namespace brantok::lumaro::ae

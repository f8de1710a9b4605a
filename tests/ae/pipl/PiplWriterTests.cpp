#include "PiplReader.h"
#include "ae/pipl/PiplWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace brantok::lumaro::ae {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Data(const PiplWriter& writer, std::string_view key) { return test::PiplReader(writer.Bytes()).Get(key).data; }

TEST(PiplWriterTest, PascalStringsArePaddedAndTheLengthCountsThePadding) {
  PiplWriter writer;
  writer.AddPascalString(PiplWriter::Code("aaaa"), "");
  writer.AddPascalString(PiplWriter::Code("bbbb"), "abc");
  writer.AddPascalString(PiplWriter::Code("cccc"), "abcd");
  EXPECT_EQ(Data(writer, "aaaa"), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(Data(writer, "bbbb"), (Bytes{3, 'a', 'b', 'c'}));
  EXPECT_EQ(Data(writer, "cccc"), (Bytes{4, 'a', 'b', 'c', 'd', 0, 0, 0}));
}

TEST(PiplWriterTest, CStringsEndWithANulBeforeThePadding) {
  PiplWriter writer;
  writer.AddCString(PiplWriter::Code("aaaa"), "abc");
  writer.AddCString(PiplWriter::Code("bbbb"), "abcd");
  EXPECT_EQ(Data(writer, "aaaa"), (Bytes{'a', 'b', 'c', 0}));
  EXPECT_EQ(Data(writer, "bbbb"), (Bytes{'a', 'b', 'c', 'd', 0, 0, 0, 0}));
}

TEST(PiplWriterTest, RefusesPascalStringsLongerThanTheLengthByteCanSay) {
  PiplWriter writer;
  writer.AddPascalString(PiplWriter::Code("full"), std::string(255, 'x'));
  EXPECT_THROW(writer.AddPascalString(PiplWriter::Code("over"), std::string(256, 'x')), std::invalid_argument);

  // The refused property left nothing behind.
  const test::PiplReader pipl(writer.Bytes());
  EXPECT_EQ(pipl.Count(), 1u);
  ASSERT_EQ(pipl.Properties().size(), 1u);
  EXPECT_EQ(pipl.Properties()[0].length, 256u);
  EXPECT_EQ(pipl.Properties()[0].data[0], 255);
}

TEST(PiplWriterTest, RefusesACStringHoldingANul) {
  PiplWriter writer;
  EXPECT_THROW(writer.AddCString(PiplWriter::Code("8664"), std::string("Effect\0Main", 11)), std::invalid_argument);
  EXPECT_EQ(test::PiplReader(writer.Bytes()).Count(), 0u);
}

} // namespace
} // namespace brantok::lumaro::ae

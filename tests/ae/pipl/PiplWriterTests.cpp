#include "PiplReader.h"
#include "ae/pipl/PiplWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace brantok::lumaro::ae {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Data(const PiplWriter& writer, std::string_view key) { return test::PiplReader(writer.Bytes()).Get(key).data; }

TEST(PiplWriterTest, AnEmptyListIsTheHeaderAlone) {
  EXPECT_EQ(PiplWriter().Bytes(), (Bytes{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(PiplWriterTest, CodesAreStoredLittleEndianSoTheyReadBackwards) {
  static_assert(PiplWriter::Code("8BIM") == 0x3842494D);
  PiplWriter writer;
  writer.AddCode(PiplWriter::Code("kind"), PiplWriter::Code("eFKT"));
  const auto bytes = writer.Bytes();
  ASSERT_EQ(bytes.size(), 10u + 16u + 4u);
  EXPECT_EQ(std::string(bytes.begin() + 10, bytes.end()), std::string("MIB8dnik\0\0\0\0\x04\0\0\0TKFe", 20));
}

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

TEST(PiplWriterTest, VersionPairsPutTheMajorHalfFirst) {
  PiplWriter writer;
  writer.AddVersionPair(PiplWriter::Code("vers"), 0x0102, 0x0304);
  EXPECT_EQ(Data(writer, "vers"), (Bytes{0x02, 0x01, 0x04, 0x03}));
}

TEST(PiplWriterTest, EveryPropertyStartsOnAFourByteStepWithTheVendorAndIdZero) {
  PiplWriter writer;
  for (std::size_t size = 0; size < 9; ++size) {
    writer.AddPascalString(PiplWriter::Code("pstr"), std::string(size, 'p'));
    writer.AddCString(PiplWriter::Code("cstr"), std::string(size, 'c'));
    writer.AddLong(PiplWriter::Code("long"), static_cast<std::uint32_t>(size));
  }
  const auto bytes = writer.Bytes();
  const test::PiplReader pipl(bytes);
  EXPECT_EQ(pipl.Count(), 27u);
  ASSERT_EQ(pipl.Properties().size(), 27u);
  for (const auto& property : pipl.Properties()) {
    EXPECT_EQ((property.offset - 10) % 4, 0u);
    EXPECT_EQ(property.length % 4, 0u);
    EXPECT_EQ(property.vendor, "8BIM");
    EXPECT_EQ(property.id, 0u);
  }
  const auto& last = pipl.Properties().back();
  EXPECT_EQ(last.offset + 16 + last.length, bytes.size());
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

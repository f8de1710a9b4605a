#include "AllocationMeter.h"

#include "LogCapture.h"
#include "PackageWriter.h"
#include "TempFolder.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/effects/library/Entry.h"
#include "correction/effects/library/EntryContent.h"
#include "correction/effects/library/ZipArchive.h"

#include <gtest/gtest.h>

namespace brantok::lumaro::correction::effects::library {
namespace {

using correction::test::AllocationMeter;
using lumaro::test::SetDeclaredSize;
using lumaro::test::WritePackage;

const std::string kMetadata = R"({"title": "T", "kernel": "k"})";
// Far below what any hostile case below claims or holds.
constexpr std::size_t kBounded = 1u << 20;

std::string ReadError(EntryContent content, const std::filesystem::path& package) {
  try {
    ReadEntry(content, package);
  } catch (const std::exception& error) {
    return error.what();
  }
  return "no exception";
}

class HostilePackageTest : public ::testing::Test {
protected:
  lumaro::test::TempFolder folder_;
  lumaro::test::LogCapture log_;
};

TEST_F(HostilePackageTest, AZipBombIsRefusedWithoutBeingInflated) {
  // 100 MiB of zeros as kernel.cl: about 100 KiB deflated.
  const auto package = folder_ / "Bomb.lumaro-effect";
  WritePackage(package, {{"kernel.cl", std::string(100u << 20, '\0'), true}, {"metadata.json", kMetadata, true}});
  ASSERT_LT(std::filesystem::file_size(package), kBounded);
  AllocationMeter meter;
  EXPECT_EQ(ReadError(EntryContent::Kernel, package), "Failed to extract entry: kernel.cl");
  Entry entry(package);
  EXPECT_EQ(entry.GetSource(), nullptr);
  EXPECT_GT(meter.Largest(), 0u);
  EXPECT_LT(meter.Largest(), kBounded);
  // The rest of the package stays readable.
  EXPECT_EQ(ReadEntry(EntryContent::Metadata, package), kMetadata);

  // Declaring a small size does not make the reader inflate more than that.
  SetDeclaredSize(package, "kernel.cl", 1000);
  EXPECT_EQ(ReadError(EntryContent::Kernel, package), "Failed to extract entry: kernel.cl");
  EXPECT_LT(meter.Largest(), kBounded);
}

TEST_F(HostilePackageTest, AnAbsurdDeclaredSizeIsRefusedBeforeAnything) {
  const auto package = folder_ / "Liar.lumaro-effect";
  WritePackage(package, {{"kernel.cl", "__kernel void k() {}", true}, {"prompt.txt", "tiny", false}});
  SetDeclaredSize(package, "kernel.cl", 0xFFFFFFF0u);
  SetDeclaredSize(package, "prompt.txt", 0x7FFFFFFFu);
  AllocationMeter meter;
  EXPECT_EQ(ReadError(EntryContent::Kernel, package), "Failed to extract entry: kernel.cl");
  EXPECT_EQ(ReadError(EntryContent::Prompt, package), "Failed to extract entry: prompt.txt");
  EXPECT_LT(meter.Largest(), kBounded);
}

TEST_F(HostilePackageTest, AnEntryAtTheLimitIsReadAndOneByteMoreIsNot) {
  const auto package = folder_ / "Limit.lumaro-effect";
  const std::string atLimit(ZipArchive::MaxEntrySize, 'x');
  WritePackage(package, {{"kernel.cl", atLimit, true}, {"prompt.txt", atLimit + "x", true}});
  EXPECT_EQ(ReadEntry(EntryContent::Kernel, package).size(), ZipArchive::MaxEntrySize);
  EXPECT_EQ(ReadError(EntryContent::Prompt, package), "Failed to extract entry: prompt.txt");
}

TEST_F(HostilePackageTest, DeeplyNestedMetadataDoesNotExhaustTheStack) {
  // The JSON parser keeps its nesting on the heap; these only cost memory.
  const std::size_t depth = 100000;
  const std::string open(depth, '['), close(depth, ']');
  EXPECT_THROW(EffectSourceMetadata{open}, std::exception);
  EXPECT_TRUE(EffectSourceMetadata(open + close).GetControls().empty());
  const EffectSourceMetadata ignored(R"({"title": "Deep", "kernel": "k", "extra": )" + open + close + "}");
  EXPECT_EQ(ignored.GetTitle(), "Deep");
  EXPECT_TRUE(EffectSourceMetadata(R"({"controls": )" + open + close + "}").GetControls().empty());
  EXPECT_THROW(EffectSourceMetadata(R"({"controls": [{"class": "choice", "id": "c", "label": "C", "default": 0, )"
                                    R"("options": )" +
                                    open + close + "}]}"),
               std::exception);
  std::string objects;
  for (std::size_t i = 0; i < depth; ++i) objects += R"({"a":)";
  objects += "0" + std::string(depth, '}');
  EXPECT_FALSE(EffectSourceMetadata(objects).GetTitle());
}

} // namespace
} // namespace brantok::lumaro::correction::effects::library

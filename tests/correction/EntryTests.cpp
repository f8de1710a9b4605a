#include "correction/effects/library/Entry.h"
#include "correction/effects/library/EntryContent.h"

#include "AllocationMeter.h"
#include "LogCapture.h"
#include "PackageWriter.h"
#include "TempFolder.h"
#include "core/PathText.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/effects/library/ZipArchive.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace brantok::lumaro::correction::effects::library {
namespace {

using correction::test::AllocationMeter;
using lumaro::test::PackageEntry;
using lumaro::test::SetDeclaredSize;
using lumaro::test::WritePackage;

const std::string kKernel = "__kernel void k(__read_only image2d_t i, __write_only image2d_t o) {}\n";
const std::string kMetadata = R"({"title": "T", "kernel": "k"})";
const std::string kPrompt = "make it warm";
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

class PackageReaderTest : public ::testing::Test {
protected:
  std::filesystem::path Package(const std::vector<PackageEntry>& entries, const std::string& name = "Effect") {
    const auto path = folder_ / (name + ".lumaro-effect");
    WritePackage(path, entries);
    return path;
  }

  lumaro::test::TempFolder folder_;
  lumaro::test::LogCapture log_;
};

// Packages made to hurt the reader: zip bombs, lying sizes, nesting.
using HostilePackageTest = PackageReaderTest;

TEST_F(PackageReaderTest, NamesMatchIgnoringCaseButNotFoldersAndGiveRawBytes) {
  // Raw bytes come back from stored and deflated entries alike.
  const char bytes[] = "\xEF\xBB\xBF line\r\nwith\0nul";
  const std::string binary(bytes, sizeof bytes - 1);
  const auto upper =
      Package({{"KERNEL.CL", binary, false}, {"Metadata.JSON", std::string(100000, 'm'), true}}, "Upper");
  EXPECT_EQ(ReadEntry(EntryContent::Kernel, upper), binary);
  EXPECT_EQ(ReadEntry(EntryContent::Metadata, upper), std::string(100000, 'm'));

  const auto nested = Package({{"effect/kernel.cl", kKernel}, {"effect/metadata.json", kMetadata}}, "Nested");
  EXPECT_EQ(ReadError(EntryContent::Kernel, nested), "Entry not found in zip: kernel.cl");
}

TEST_F(PackageReaderTest, FailuresNameWhatFailed) {
  const auto notZip = folder_ / "NotZip.lumaro-effect";
  lumaro::test::WriteFile(notZip, "this is not a zip archive at all");
  EXPECT_EQ(ReadError(EntryContent::Kernel, notZip), "Failed to open zip file: " + core::PathToNarrow(notZip));

  const auto missing = folder_ / "Missing.lumaro-effect";
  EXPECT_EQ(ReadError(EntryContent::Metadata, missing), "Failed to open zip file: " + core::PathToNarrow(missing));

  // An archive with no entries at all: only the end-of-central-directory record.
  const auto empty = folder_ / "Empty.lumaro-effect";
  lumaro::test::WriteFile(empty, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  EXPECT_EQ(ReadError(EntryContent::Metadata, empty), "Entry not found in zip: metadata.json");
  // An index the archive does not have extracts nothing.
  std::string out = "untouched";
  EXPECT_FALSE(ZipArchive::Open(ZipArchive::ReadFile(empty))->Extract(0, out));
  EXPECT_EQ(out, "untouched");
}

TEST_F(PackageReaderTest, CorruptedDataFailsTheCrcCheck) {
  const std::string kernel = "__kernel void unique_kernel_text() {}";
  const auto package = Package({{"kernel.cl", kernel, false}, {"metadata.json", kMetadata}});
  lumaro::test::CorruptStoredContent(package, kernel);
  EXPECT_EQ(ReadError(EntryContent::Kernel, package), "Failed to extract entry: kernel.cl");
  EXPECT_EQ(ReadEntry(EntryContent::Metadata, package), kMetadata); // the rest stays readable

  std::string out = "stale";
  EXPECT_FALSE(TryReadEntry(EntryContent::Kernel, package, out));
  EXPECT_EQ(out, "");
  EXPECT_EQ(log_.Lines().back(), "Failed to deserialise entry content 'kernel.cl' from " + core::PathToNarrow(package) +
                                     ". Error: Failed to extract entry: kernel.cl");
  EXPECT_EQ(log_.Entries().back().first, core::eLogChannel::Error);
}

TEST_F(PackageReaderTest, EntryReadsSourceOnceAndReturnsTheSameObject) {
  const auto package = Package(lumaro::test::StandardEntries(kKernel, kMetadata, kPrompt), "Warm Glow");
  Entry entry(package);
  EXPECT_EQ(entry.GetName(), "Warm Glow");
  EXPECT_EQ(entry.GetPath(), package);

  const auto source = entry.GetSource();
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->kind, 2);
  EXPECT_EQ(source->kernelSource, kKernel);
  EXPECT_EQ(source->metadata, kMetadata);
  EXPECT_EQ(entry.GetPrompt(), kPrompt);

  // Once read, the file is not consulted again.
  std::filesystem::remove(package);
  EXPECT_EQ(entry.GetSource().get(), source.get());
  EXPECT_EQ(entry.GetPrompt(), kPrompt);
  EXPECT_TRUE(log_.Lines().empty());
}

// A new version saved by renaming it over the package while it is read: the
// kernel, metadata and prompt of one read all come from one version.
TEST_F(PackageReaderTest, AReadRacingASaveGetsOneVersion) {
  const auto path = folder_ / "Effect.lumaro-effect";
  std::vector<std::filesystem::path> versions;
  for (const std::string version : {"1", "2"}) {
    versions.push_back(folder_ / ("v" + version));
    WritePackage(versions.back(), lumaro::test::StandardEntries("// " + version + "\n" + kKernel,
                                                                R"({"title": ")" + version + R"("})", version));
  }
  std::filesystem::copy_file(versions[0], path);
  std::atomic<bool> done{false};
  std::thread saver([&] {
    // Where the file system refuses to replace an open file, that save waits.
    for (int i = 0; !done; ++i) {
      const auto next = folder_ / "next";
      std::error_code error;
      std::filesystem::copy_file(versions[i % 2], next, std::filesystem::copy_options::overwrite_existing, error);
      std::filesystem::rename(next, path, error);
    }
  });
  int mixed = 0;
  for (int i = 0; i < 400; ++i) {
    Entry entry(path);
    const auto source = entry.GetSource();
    if (!source) continue;
    const std::string version = entry.GetPrompt();
    if (source->kernelSource.substr(3, 1) != version || source->metadata != R"({"title": ")" + version + R"("})")
      ++mixed;
  }
  done = true;
  saver.join();
  EXPECT_EQ(mixed, 0);
}

TEST_F(PackageReaderTest, MissingPromptIsLoggedOnceAndLeftEmpty) {
  const auto package = Package({{"kernel.cl", kKernel}, {"metadata.json", kMetadata}});
  Entry entry(package);
  EXPECT_NE(entry.GetSource(), nullptr);
  EXPECT_EQ(entry.GetPrompt(), "");
  EXPECT_EQ(entry.GetPrompt(), "");
  ASSERT_EQ(log_.Lines().size(), 1u);
  EXPECT_EQ(log_.Lines()[0], "Failed to deserialise entry content 'prompt.txt' from " + core::PathToNarrow(package) +
                                 ". Error: Entry not found in zip: prompt.txt");
}

TEST_F(PackageReaderTest, MissingKernelOrMetadataGivesNoSourceAndIsRetried) {
  const auto package = Package({{"prompt.txt", kPrompt}});
  Entry entry(package);
  EXPECT_EQ(entry.GetSource(), nullptr);
  EXPECT_EQ(log_.Count("Entry not found in zip: kernel.cl"), 1);

  // A kernel without metadata gives no source either.
  WritePackage(package, {{"kernel.cl", kKernel}});
  EXPECT_EQ(entry.GetSource(), nullptr);
  EXPECT_EQ(log_.Count("Entry not found in zip: metadata.json"), 1);

  // A failed read is not remembered: once the package is whole, it loads.
  WritePackage(package, lumaro::test::StandardEntries(kKernel, kMetadata, kPrompt));
  const auto source = entry.GetSource();
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->metadata, kMetadata);
  EXPECT_EQ(entry.GetReadError(), "");

  // Bytes handed over are the package: a failed read never turns to the file.
  Entry kept(package, std::make_shared<const std::string>("not a zip"));
  EXPECT_EQ(kept.GetSource(), nullptr);
  EXPECT_EQ(kept.GetSource(), nullptr);
}

TEST_F(PackageReaderTest, NonAsciiPackagePathOpens) {
  const auto package = folder_.Path() / core::PathFromUtf8("\xC3\x9C"
                                                           "bersicht \xE2\x9C\x93.lumaro-effect");
  WritePackage(package, lumaro::test::StandardEntries(kKernel, kMetadata, kPrompt));
  Entry entry(package);
  ASSERT_NE(entry.GetSource(), nullptr);
  EXPECT_EQ(entry.GetPrompt(), kPrompt);
  EXPECT_TRUE(entry.GetName().ends_with("bersicht ?") || entry.GetName() == "\xC3\x9C"
                                                                            "bersicht \xE2\x9C\x93")
      << entry.GetName();
}

TEST_F(HostilePackageTest, AZipBombIsRefusedWithoutBeingInflated) {
  // 100 MiB of zeros as kernel.cl: about 100 KiB deflated.
  const auto package =
      Package({{"kernel.cl", std::string(100u << 20, '\0'), true}, {"metadata.json", kMetadata, true}}, "Bomb");
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

TEST_F(HostilePackageTest, AnEntryDeclaringMoreThanItHoldsIsRefused) {
  const auto package = Package({{"kernel.cl", "__kernel void k() {}", true}, {"prompt.txt", "tiny", false}}, "Liar");
  SetDeclaredSize(package, "kernel.cl", 0xFFFFFFF0u);
  SetDeclaredSize(package, "prompt.txt", 0x7FFFFFFFu);
  AllocationMeter meter;
  EXPECT_EQ(ReadError(EntryContent::Kernel, package), "Failed to extract entry: kernel.cl");
  EXPECT_EQ(ReadError(EntryContent::Prompt, package), "Failed to extract entry: prompt.txt");
  EXPECT_LT(meter.Largest(), kBounded);
  // A few bytes more than the entry holds: refused, not read with zeros after it.
  SetDeclaredSize(package, "kernel.cl", 24);
  EXPECT_EQ(ReadError(EntryContent::Kernel, package), "Failed to extract entry: kernel.cl");
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
  EXPECT_TRUE(EffectSourceMetadata(R"({"controls": )" + open + close + "}").GetControls().empty());
  std::string objects;
  for (std::size_t i = 0; i < depth; ++i) objects += R"({"a":)";
  objects += "0" + std::string(depth, '}');
  EXPECT_FALSE(EffectSourceMetadata(objects).GetTitle());
}

} // namespace
} // namespace brantok::lumaro::correction::effects::library

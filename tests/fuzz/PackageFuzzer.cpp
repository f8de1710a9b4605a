#include "FuzzTargets.h"

#include "correction/effects/library/Entry.h"
#include "correction/effects/library/ZipArchive.h"

#include "TempFolder.h"

#include <string>

namespace brantok::lumaro::fuzz {

using correction::effects::library::Entry;
using correction::effects::library::ZipArchive;

int FuzzPackage(const std::uint8_t* data, std::size_t size) {
  // The reader takes a path: every input goes to one file of this process.
  static const test::TempFolder folder;
  const auto path = folder / "input.lumaro-effect";
  test::WriteFile(path, std::string(reinterpret_cast<const char*>(data), data ? size : 0));

  Entry entry(path);
  const auto& prompt = entry.GetPrompt();
  Expect(prompt.size() <= ZipArchive::MaxEntrySize, "a prompt above the entry limit was read");
  const auto source = entry.GetSource();
  if (!source) return 0;
  Expect(source->kernelSource.size() <= ZipArchive::MaxEntrySize, "a kernel above the entry limit was read");
  Expect(source->metadata.size() <= ZipArchive::MaxEntrySize, "metadata above the entry limit was read");
  Expect(entry.GetSource() == source, "a second read gave another source");
  // The package was readable; its metadata goes the way of any metadata text.
  return FuzzMetadata(reinterpret_cast<const std::uint8_t*>(source->metadata.data()), source->metadata.size());
}

} // namespace brantok::lumaro::fuzz

#include "correction/effects/library/EntryContent.h"

#include "core/Logger.h"
#include "core/PathText.h"
#include "correction/effects/library/ZipArchive.h"

#include <stdexcept>

namespace brantok::lumaro::correction::effects::library {

std::filesystem::path GetEntryName(EntryContent content) {
  switch (content) {
  case EntryContent::Prompt:
    return "prompt.txt";
  case EntryContent::Kernel:
    return "kernel.cl";
  case EntryContent::Metadata:
    return "metadata.json";
  }
  throw std::out_of_range("Unknown EntryContent value");
}

std::string ReadEntry(EntryContent content, const std::filesystem::path& package) {
  auto archive = ZipArchive::Open(core::PathToUtf8(package));
  if (!archive) throw std::runtime_error("Failed to open zip file: " + core::PathToNarrow(package));

  const std::string name = GetEntryName(content).generic_string();
  const auto index = archive->Locate(name);
  if (!index) throw std::runtime_error("Entry not found in zip: " + name);

  std::string text;
  if (!archive->Extract(*index, text)) throw std::runtime_error("Failed to extract entry: " + name);
  return text;
}

bool TryReadEntry(EntryContent content, const std::filesystem::path& package, std::string& out) {
  try {
    out = ReadEntry(content, package);
    return true;
  } catch (const std::exception& error) {
    core::Logger::Log("Failed to deserialise entry content '" + GetEntryName(content).string() + "' from " +
                          core::PathToNarrow(package) + ". Error: " + error.what(),
                      core::eLogChannel::Error);
  }
  out.clear();
  return false;
}

} // namespace brantok::lumaro::correction::effects::library

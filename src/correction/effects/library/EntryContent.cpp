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
  return ReadEntry(content, ZipArchive::ReadFile(package), package);
}

std::string ReadEntry(EntryContent content, const std::shared_ptr<const std::string>& bytes,
                      const std::filesystem::path& package) {
  auto archive = ZipArchive::Open(bytes);
  if (!archive) throw std::runtime_error("Failed to open zip file: " + core::PathToNarrow(package));

  const std::string name = GetEntryName(content).generic_string();
  const auto index = archive->Locate(name);
  if (!index) throw std::runtime_error("Entry not found in zip: " + name);

  std::string text;
  if (!archive->Extract(*index, text)) throw std::runtime_error("Failed to extract entry: " + name);
  return text;
}

bool TryReadEntry(EntryContent content, const std::filesystem::path& package, std::string& out) {
  return TryReadEntry(content, ZipArchive::ReadFile(package), package, out);
}

bool TryReadEntry(EntryContent content, const std::shared_ptr<const std::string>& bytes,
                  const std::filesystem::path& package, std::string& out, std::string* why) {
  try {
    out = ReadEntry(content, bytes, package);
    return true;
  } catch (const std::exception& error) {
    core::Logger::Log("Failed to deserialise entry content '" + GetEntryName(content).string() + "' from " +
                          core::PathToNarrow(package) + ". Error: " + error.what(),
                      core::eLogChannel::Error);
    if (why) *why = error.what();
  }
  out.clear();
  return false;
}

} // namespace brantok::lumaro::correction::effects::library

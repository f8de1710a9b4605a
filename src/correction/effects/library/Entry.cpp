#include "correction/effects/library/Entry.h"

#include "core/PathText.h"
#include "correction/effects/library/EntryContent.h"
#include "correction/effects/library/ZipArchive.h"

#include <utility>

namespace brantok::lumaro::correction::effects::library {

Entry::Entry(std::filesystem::path path) : name_(core::PathToNarrow(path.stem())), path_(std::move(path)) {}

Entry::Entry(std::filesystem::path path, std::shared_ptr<const std::string> bytes) : Entry(std::move(path)) {
  bytes_ = std::move(bytes);
  inMemory_ = bytes_ != nullptr;
}

std::shared_ptr<const std::string> Entry::GetBytes() {
  if (!bytes_) bytes_ = ZipArchive::ReadFile(path_);
  return bytes_;
}

std::shared_ptr<EffectSource> Entry::Failed() {
  // The file may be whole by the next call: it is read again then.
  if (!inMemory_) bytes_.reset();
  return nullptr;
}

std::string Entry::GetName() const { return name_; }

std::shared_ptr<EffectSource> Entry::GetSource() {
  if (source_) return source_;
  const auto bytes = GetBytes();
  std::string kernel;
  if (!TryReadEntry(EntryContent::Kernel, bytes, path_, kernel, &readError_)) return Failed();
  std::string metadata;
  if (!TryReadEntry(EntryContent::Metadata, bytes, path_, metadata, &readError_)) return Failed();
  readError_.clear();
  source_ =
      std::make_shared<EffectSource>(EffectSource{EffectSource::PackageKind, std::move(kernel), std::move(metadata)});
  return source_;
}

const std::string& Entry::GetPrompt() {
  if (!prompt_) {
    std::string text;
    TryReadEntry(EntryContent::Prompt, GetBytes(), path_, text);
    prompt_ = std::move(text);
  }
  return *prompt_;
}

const std::filesystem::path& Entry::GetPath() const { return path_; }

const std::string& Entry::GetReadError() const { return readError_; }

} // namespace brantok::lumaro::correction::effects::library

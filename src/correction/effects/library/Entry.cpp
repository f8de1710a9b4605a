#include "correction/effects/library/Entry.h"

#include "core/PathText.h"
#include "correction/effects/library/EntryContent.h"

#include <utility>

namespace brantok::lumaro::correction::effects::library {

Entry::Entry(std::filesystem::path path) : name_(core::PathToNarrow(path.stem())), path_(std::move(path)) {}

std::string Entry::GetName() const { return name_; }

std::shared_ptr<EffectSource> Entry::GetSource() {
  if (source_) return source_;
  std::string kernel;
  if (!TryReadEntry(EntryContent::Kernel, path_, kernel)) return nullptr;
  std::string metadata;
  if (!TryReadEntry(EntryContent::Metadata, path_, metadata)) return nullptr;
  source_ =
      std::make_shared<EffectSource>(EffectSource{EffectSource::PackageKind, std::move(kernel), std::move(metadata)});
  return source_;
}

const std::string& Entry::GetPrompt() {
  if (!prompt_) {
    std::string text;
    TryReadEntry(EntryContent::Prompt, path_, text);
    prompt_ = std::move(text);
  }
  return *prompt_;
}

const std::filesystem::path& Entry::GetPath() const { return path_; }

} // namespace brantok::lumaro::correction::effects::library

#pragma once

#include "correction/EffectSource.h"
#include "correction/effects/library/IEntry.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace brantok::lumaro::correction::effects::library {

// One effect package file on disk. The file is read whole on first request,
// so that its kernel, metadata and prompt all come from one version of it even
// while a new one is being saved; a successful read is kept (later changes to
// the file are not seen through the same entry), a failed one is logged and
// tried again next time.
class Entry final : public IEntry {
public:
  explicit Entry(std::filesystem::path path);
  // A package whose bytes are already in memory; `path` names it.
  Entry(std::filesystem::path path, std::shared_ptr<const std::string> bytes);

  // The package file's stem.
  std::string GetName() const override;

  // Kernel source and metadata, or null when either cannot be read. Once read,
  // every call returns the same object.
  std::shared_ptr<EffectSource> GetSource();

  // The prompt; empty (after one logged failure) when the package has none.
  const std::string& GetPrompt();

  const std::filesystem::path& GetPath() const;

  // The package's bytes as read, or null when the file could not be read.
  std::shared_ptr<const std::string> GetBytes();
  // Why the last GetSource found no source, e.g. "Entry not found in zip:
  // kernel.cl"; empty after a successful read.
  const std::string& GetReadError() const;

private:
  std::string name_;
  std::filesystem::path path_;
  std::optional<std::string> prompt_;
  std::shared_ptr<EffectSource> source_;
  std::shared_ptr<EffectSource> Failed();

  std::shared_ptr<const std::string> bytes_;
  bool inMemory_ = false;
  std::string readError_;
};

} // namespace brantok::lumaro::correction::effects::library

#pragma once

#include "correction/EffectSource.h"
#include "correction/effects/library/IEntry.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace brantok::lumaro::correction::effects::library {

// One effect package file on disk. Its contents are read on first request;
// a successful read is kept (later changes to the file are not seen through
// the same entry), a failed one is logged and tried again next time.
class Entry final : public IEntry {
public:
  explicit Entry(std::filesystem::path path);

  // The package file's stem.
  std::string GetName() const override;

  // Kernel source and metadata, or null when either cannot be read. Once read,
  // every call returns the same object.
  std::shared_ptr<EffectSource> GetSource();

  // The prompt; empty (after one logged failure) when the package has none.
  const std::string& GetPrompt();

  const std::filesystem::path& GetPath() const;

private:
  std::string name_;
  std::filesystem::path path_;
  std::optional<std::string> prompt_;
  std::shared_ptr<EffectSource> source_;
};

} // namespace brantok::lumaro::correction::effects::library

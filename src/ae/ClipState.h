#pragma once

#include "ae/FileWatch.h"
#include "ae/SlotMap.h"
#include "core/FileStamp.h"
#include "correction/ICustomEffect.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace brantok::lumaro::ae {

// What belongs to one clip (one sequence id): the effect its frames render,
// the package file and the version of it the effect was read from, and where
// the host holds each control's value (SlotMap). A package changed on disk is
// read again at the clip's next use; a version that does not load or build
// leaves the last good effect rendering until the next change. No lock of
// its own: the instance's effect-map lock guards it, and the effect objects
// it hands out are never changed by it, so frames in flight finish with the
// effect they started with.
class ClipState final {
public:
  struct Loaded {
    std::shared_ptr<correction::ICustomEffect> effect; // null when the package could not be loaded
    std::string failure;                               // why, when it could not
    std::shared_ptr<const std::string> bytes;          // the package as read
  };
  using Loader = std::function<Loaded(const std::filesystem::path&)>;

  // Without `slots` (a reopened project) the host is taken to hold the
  // values as the effect lays them out, or, when the package could not be
  // read, as the first version that can be read does.
  // `loaded` read from `path` (a file of version `stamp`), or from the copy
  // kept in the project when `fromProject`.
  ClipState(std::filesystem::path path, std::optional<core::FileStamp> stamp, Loaded loaded,
            std::optional<SlotMap> slots, bool fromProject = false);

  // Whether frames render with `effect`: it built from a source.
  static bool CanRun(const correction::ICustomEffect* effect);

  const std::shared_ptr<correction::ICustomEffect>& GetEffect() const { return effect_; }
  // The package bytes the effect was read from, for the project to keep.
  const std::shared_ptr<const std::string>& GetBytes() const { return bytes_; }
  // The effect came from the copy kept in the project: its file is missing.
  bool IsFromProject() const { return fromProject_; }
  const std::filesystem::path& GetPath() const { return path_; }
  std::shared_ptr<const SlotMap> GetSlots() const { return slots_; }
  void SetSlots(SlotMap slots);

  // Reads the package again when its file changed (as `watch` sees it) since
  // the effect was read. The new effect replaces the old one when it can run,
  // or when the old one could not either; otherwise the old one stays and
  // the log says why, once per change ("Kept '<name>': <reason>").
  void Refresh(FileWatch& watch, const Loader& load);

private:
  std::filesystem::path path_;
  std::optional<core::FileStamp> stamp_;    // the version the effect came from
  std::optional<core::FileStamp> rejected_; // a later version that was not taken
  bool missingSaid_ = false;
  bool slotsAssumed_ = false;
  bool fromProject_ = false;
  std::shared_ptr<correction::ICustomEffect> effect_;
  std::shared_ptr<const std::string> bytes_;
  std::shared_ptr<const SlotMap> slots_;
};

} // namespace brantok::lumaro::ae

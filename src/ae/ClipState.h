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
  };
  using Loader = std::function<Loaded(const std::filesystem::path&)>;

  // Without `slots` (a reopened project) the host is taken to hold the
  // values as the effect lays them out, or, when the package could not be
  // read, as the first version that can be read does.
  ClipState(std::filesystem::path path, std::optional<core::FileStamp> stamp,
            std::shared_ptr<correction::ICustomEffect> effect, std::optional<SlotMap> slots);

  const std::shared_ptr<correction::ICustomEffect>& GetEffect() const { return effect_; }
  const std::filesystem::path& GetPath() const { return path_; }
  std::shared_ptr<const SlotMap> GetSlots() const { return slots_; }
  void SetSlots(SlotMap slots);

  // Reads the package again when its file changed (as `watch` sees it) since
  // the effect was read. The new effect replaces the old one when it can run,
  // or when the old one could not either; otherwise the old one stays and
  // the log says why, once per change ("Kept '<name>': <reason>"). True when
  // the effect was replaced.
  bool Refresh(FileWatch& watch, const Loader& load);

private:
  std::filesystem::path path_;
  std::optional<core::FileStamp> stamp_;    // the version the effect came from
  std::optional<core::FileStamp> rejected_; // a later version that was not taken
  bool missingSaid_ = false;
  bool slotsAssumed_ = false;
  std::shared_ptr<correction::ICustomEffect> effect_;
  std::shared_ptr<const SlotMap> slots_;
};

} // namespace brantok::lumaro::ae

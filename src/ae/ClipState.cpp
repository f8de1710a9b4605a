#include "ae/ClipState.h"

#include "core/Logger.h"
#include "core/PathText.h"

#include <utility>

namespace brantok::lumaro::ae {
namespace {

using core::eLogChannel;
using core::Logger;

} // namespace

bool ClipState::CanRun(const correction::ICustomEffect* effect) {
  return effect && !effect->HasBuildFailed() && effect->GetSource();
}

ClipState::ClipState(std::filesystem::path path, std::optional<core::FileStamp> stamp, Loaded loaded,
                     std::optional<SlotMap> slots, bool fromProject) :
    path_(std::move(path)),
    stamp_(stamp), slotsAssumed_(!slots), fromProject_(fromProject), effect_(std::move(loaded.effect)),
    bytes_(std::move(loaded.bytes)) {
  slots_ = std::make_shared<const SlotMap>(slots ? std::move(*slots)
                                                 : (effect_ ? SlotMap::Of(effect_->GetControls()) : SlotMap()));
}

void ClipState::SetSlots(SlotMap slots) {
  slots_ = std::make_shared<const SlotMap>(std::move(slots));
  slotsAssumed_ = false;
}

void ClipState::Refresh(FileWatch& watch, const Loader& load) {
  const auto now = watch.Stamp(path_);
  // Only the log lines name the effect: frames that find nothing new skip it.
  const auto name = [this] { return effect_ ? effect_->GetName() : core::PathToNarrow(path_.stem()); };
  if (!now) {
    // Being replaced, or moved away: what renders stays until a file is back.
    if (!fromProject_ && !std::exchange(missingSaid_, true)) {
      Logger::Log("Kept '" + name() + "': " + core::PathToNarrow(path_) + " is missing", eLogChannel::Info);
    }
    return;
  }
  missingSaid_ = false;
  if (now == stamp_ || now == rejected_) return;

  auto loaded = load(path_);
  const bool runs = CanRun(loaded.effect.get());
  if (!runs && CanRun(effect_.get())) {
    rejected_ = now;
    const std::string reason = loaded.effect ? loaded.effect->GetBuildError() : loaded.failure;
    Logger::Log("Kept '" + name() + "': " + (reason.empty() ? std::string("the new version cannot run") : reason),
                eLogChannel::Info);
    return;
  }
  if (!loaded.effect) {
    // Nothing loads and nothing ran before: tried again at the next change.
    rejected_ = now;
    return;
  }
  // A package unreadable until now told nothing of where the host keeps its
  // values; the first readable version does.
  if (slotsAssumed_ && (!effect_ || !effect_->GetSource())) {
    slots_ = std::make_shared<const SlotMap>(SlotMap::Of(loaded.effect->GetControls()));
  }
  effect_ = std::move(loaded.effect);
  bytes_ = std::move(loaded.bytes);
  stamp_ = now;
  rejected_.reset();
  // The file is back, and it is the newer edit.
  fromProject_ = false;
  Logger::Log("Reloaded '" + effect_->GetName() + "' from " + core::PathToNarrow(path_), eLogChannel::Info);
}

} // namespace brantok::lumaro::ae

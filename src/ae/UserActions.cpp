#include "ae/UserActions.h"

#include "ae/EffectPath.h"
#include "ae/LumaroEffect.h"
#include "ae/ParameterLayout.h"
#include "ae/ParameterPanel.h"
#include "ae/SequenceData.h"
#include "ae/SlotMap.h"
#include "core/Dialogs.h"
#include "core/Logger.h"
#include "core/PathText.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/ICustomEffect.h"
#include "correction/effects/library/Entry.h"
#include "services/CompanionSync.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace brantok::lumaro::ae {
namespace {

using core::eLogChannel;
using core::Logger;
using correction::ICustomEffect;

// Whether the package reads as an effect without a GPU: its kernel and its
// metadata are there and the metadata parses.
bool IsReadablePackage(const std::filesystem::path& path) {
  try {
    correction::effects::library::Entry entry(path);
    const auto source = entry.GetSource();
    if (!source) return false;
    const correction::EffectSourceMetadata metadata(source->metadata);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void ShowNoDeviceBox(const std::string& name) {
  core::ShowMessageBox(core::eMessageBoxType::Error,
                       "No OpenCL device was found, so '" + name +
                           "' cannot be rendered on this computer.\n\nA graphics driver with OpenCL support is "
                           "needed. The effect stays selected; until it can run, frames pass through unchanged.",
                       "No OpenCL Device");
}

// Whether `path` names the package the clip's Effect Path already holds:
// choosing it again (or receiving a new version of it) keeps the clip's
// values, another package starts fresh.
bool IsStoredPackage(const std::optional<std::string>& stored, const std::filesystem::path& path) {
  if (!stored || stored->empty()) return false;
  const auto storedPath = core::PathFromUtf8(*stored);
  if (storedPath.lexically_normal() == path.lexically_normal()) return true;
  std::error_code error;
  return std::filesystem::equivalent(storedPath, path, error);
}

// `text` into the Effect Path, with a copy of `bytes` and `layout` when the
// host takes them, else alone.
void StorePath(PF_InData* inData, PF_OutData* outData, PF_ParamDef* pathParam, const std::string& text,
               const std::shared_ptr<const std::string>& bytes, const SlotMap& layout) {
  // The project keeps the package and where the host holds each value, so
  // that it renders the same where the file is missing or has changed. A host
  // that cannot make the value longer still gets the path, and no copy whose
  // slot map no longer matches the host's values stays behind.
  const KeptPackage kept{bytes, layout.Slots()};
  if (bytes && WriteEffectPath(inData, outData, pathParam, text, &kept)) return;
  if (!WriteEffectPath(inData, outData, pathParam, text)) {
    Logger::Log("Failed to write effect path to data parameter", eLogChannel::Error);
  }
}

} // namespace

UserActions::UserActions(LumaroEffect& instance, const ParameterPanel& panel) : instance_(instance), panel_(panel) {}

PF_Err UserActions::ReceiveSharedEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                        SequenceData& record) {
  const auto path = services::SyncFromLumaro();
  if (!path) return PF_Err_NONE;
  std::unordered_set<int> hidden(GetControlParamIndices().begin(), GetControlParamIndices().end());
  LoadChosenEffect(inData, outData, params, record, {*path, "Unable to load shared effect"}, hidden);
  panel_.HideParams(inData, outData, params, {hidden.begin(), hidden.end()});
  return PF_Err_NONE;
}

PF_Err UserActions::ChangeEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record) {
  std::unordered_set<int> hidden(GetControlParamIndices().begin(), GetControlParamIndices().end());
  const auto* popup = FindParamOfType(inData, params, ParameterLayout::EffectPopup, PF_Param_POPUP);
  const auto choice = popup ? popup->u.pd.value : ParameterLayout::PopupNone;
  if (choice == ParameterLayout::PopupNone) {
    instance_.TurnEffectOff(record);
  } else if (choice == ParameterLayout::PopupBrowse) {
    const auto chosen =
        core::OpenFileDialog("Select Lumaro Effect", {{"*.lumaro-effect", "Lumaro Effect"}}, std::nullopt);
    std::error_code error;
    if (!chosen) {
      panel_.SetPopup(inData, params, ParameterLayout::PopupNone);
    } else if (!std::filesystem::is_regular_file(*chosen, error)) {
      core::ShowMessageBox(core::eMessageBoxType::Error, "Unable to load selected file", "Invalid file");
    } else {
      LoadChosenEffect(inData, outData, params, record, {*chosen, "Unable to load selected effect"}, hidden);
    }
  } else if (choice == ParameterLayout::PopupEffect) {
    auto* pathParam = FindParam(inData, params, ParameterLayout::EffectPath);
    const auto text = ReadEffectPath(inData, outData, pathParam);
    std::error_code error;
    if (!text || text->empty()) {
      panel_.SetPopup(inData, params, ParameterLayout::PopupNone);
    } else if (const auto kept = ReadKeptPackage(inData, outData, pathParam);
               kept && !std::filesystem::exists(core::PathFromUtf8(*text), error)) {
      SaveKeptPackage(inData, outData, params, record, core::PathFromUtf8(*text), *kept, hidden);
    } else {
      // The package as it is on disk now, with the clip's values.
      Choice again{core::PathFromUtf8(*text), "Unable to load selected effect"};
      again.rechosen = true;
      LoadChosenEffect(inData, outData, params, record, again, hidden);
    }
  }
  panel_.HideParams(inData, outData, params, {hidden.begin(), hidden.end()});
  return PF_Err_NONE;
}

void UserActions::SaveKeptPackage(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record,
                                  const std::filesystem::path& path, const KeptPackage& kept,
                                  std::unordered_set<int>& hidden) {
  // The effect's file is missing and the project has its copy: it is offered
  // back as a file, which the clip then names.
  Choice choice{path, "Unable to load selected effect"};
  choice.keepValues = true;
  const auto name = core::PathToNarrow(path.stem());
  if (const auto chosen = core::SaveFileDialog("Save " + name, {{"*.lumaro-effect", "Lumaro Effect"}}, path.filename(),
                                               std::nullopt, std::nullopt)) {
    std::ofstream file(*chosen, std::ios::binary | std::ios::trunc);
    file.write(kept.bytes->data(), static_cast<std::streamsize>(kept.bytes->size()));
    file.close();
    if (file) {
      choice.path = *chosen;
      LoadChosenEffect(inData, outData, params, record, choice, hidden);
      return;
    }
    core::ShowMessageBox(core::eMessageBoxType::Error,
                         "Unable to save '" + name + "' as " + core::PathToNarrow(*chosen) +
                             ". The effect goes on rendering from the copy kept in the project.",
                         "Invalid file");
  }
  // Not saved: the clip goes on with the copy the project keeps.
  choice.rechosen = true;
  choice.projectCopy = kept.bytes;
  LoadChosenEffect(inData, outData, params, record, choice, hidden);
}

void UserActions::LoadChosenEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record,
                                   const Choice& choice, std::unordered_set<int>& hidden) {
  const auto& path = choice.path;
  auto* pathParam = FindParam(inData, params, ParameterLayout::EffectPath);
  // A path the project cannot hold is refused before anything changes, so the
  // clip never names one package and renders another.
  if (core::PathToUtf8(path).size() >= ParameterLayout::EffectPathSize) {
    core::ShowMessageBox(core::eMessageBoxType::Error,
                         "The effect's path is too long to be kept in the project (" +
                             std::to_string(ParameterLayout::EffectPathSize) +
                             " bytes or more). Move the effect to a folder with a shorter path and choose it again.",
                         "Invalid file");
    // Browsing left the popup at Browse...; it goes back to what the clip
    // renders. The sync button never moved it.
    if (panel_.GetPopup(inData, params) == ParameterLayout::PopupBrowse) {
      panel_.SetPopup(inData, params,
                      instance_.HasLiveEffect(record) ? ParameterLayout::PopupEffect : ParameterLayout::PopupNone);
    }
    hidden.clear();
    return;
  }
  const bool keepValues = choice.keepValues || IsStoredPackage(ReadEffectPath(inData, outData, pathParam), path);
  // Read and built before the clip's state changes, and given to the clip in
  // one step once its values are in place: a frame asked for meanwhile renders
  // with the effect the clip had, never loads the package the user left.
  auto loaded = instance_.LoadEffect(path, choice.projectCopy);
  const auto effect = loaded.effect;
  if (!effect) {
    if (instance_.LacksGpuDevice() && (choice.projectCopy || IsReadablePackage(path))) {
      // The package is sound: the project keeps it for a machine with a device.
      StorePath(inData, outData, pathParam, core::PathToUtf8(path), nullptr, SlotMap());
      instance_.ForgetEffect(record);
      panel_.SetPopup(inData, params, ParameterLayout::PopupEffect);
      panel_.RebuildPopup(inData, outData, params, path, LumaroEffect::CannotRunNote);
      ShowNoDeviceBox(core::PathToNarrow(path.stem()));
    } else if (choice.rechosen) {
      // The stored path stays for when the package is whole again.
      core::ShowMessageBox(core::eMessageBoxType::Error, choice.failure, "Invalid Lumaro Effect");
      panel_.SetPopup(inData, params, ParameterLayout::PopupNone);
    } else {
      WriteEffectPath(inData, outData, pathParam, "");
      instance_.DropEffect(record);
      panel_.SetPopup(inData, params, ParameterLayout::PopupNone);
      panel_.RebuildPopup(inData, outData, params, std::nullopt);
      core::ShowMessageBox(core::eMessageBoxType::Error, choice.failure, "Invalid Lumaro Effect");
    }
    return;
  }
  auto layout = SlotMap::Of(effect->GetControls());
  StorePath(inData, outData, pathParam, core::PathToUtf8(path), loaded.bytes, layout);
  if (keepValues) {
    const auto previous = instance_.GetPreviousClip(record);
    panel_.KeepClipValues(inData, params, *effect, previous.effect.get(), previous.slots.get());
  }
  for (const auto index : panel_.SynchroniseEffectToHost(inData, outData, *effect, params, true)) hidden.erase(index);
  instance_.AssignEffect(record, path, std::move(loaded), std::move(layout), choice.projectCopy != nullptr);
  panel_.SetPopup(inData, params, ParameterLayout::PopupEffect);
  panel_.RebuildPopup(inData, outData, params, path,
                      !ClipState::CanRun(effect.get()) ? LumaroEffect::CannotRunNote
                      : choice.projectCopy             ? LumaroEffect::KeptInProjectNote
                                                       : "");
  ShowBuildFailure(*effect, core::PathToNarrow(path.stem()));
}

void UserActions::AdoptLayout(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                              const SequenceData& record) {
  if (!instance_.HasLiveEffect(record)) return;
  const auto clip = instance_.GetPreviousClip(record);
  if (!clip.effect || !clip.slots) return;
  auto layout = SlotMap::Of(clip.effect->GetControls());
  auto* pathParam = FindParam(inData, params, ParameterLayout::EffectPath);
  const auto kept = ReadKeptPackage(inData, outData, pathParam);
  // A version read again since the project last kept one goes into it now.
  const bool newBytes = clip.bytes && clip.bytes->size() <= EffectPathValue::MaxPackageSize &&
                        (!kept || !kept->bytes || *kept->bytes != *clip.bytes);
  const bool moved = *clip.slots != layout;
  if (!moved && !newBytes) return;
  if (moved) {
    // The values as frames render them, then written where the version in
    // use keeps them; new controls get their starting values.
    panel_.KeepClipValues(inData, params, *clip.effect, nullptr, clip.slots.get());
    std::unordered_set<int> hidden(GetControlParamIndices().begin(), GetControlParamIndices().end());
    for (const auto index : panel_.SynchroniseEffectToHost(inData, outData, *clip.effect, params, true))
      hidden.erase(index);
    panel_.HideParams(inData, outData, params, {hidden.begin(), hidden.end()});
  }
  if (const auto text = ReadEffectPath(inData, outData, pathParam)) {
    StorePath(inData, outData, pathParam, *text, clip.bytes, layout);
  }
  instance_.SetClipSlots(record, std::move(layout));
}

void UserActions::ShowBuildFailure(const ICustomEffect& effect, const std::string& name) const {
  if (!effect.HasBuildFailed()) return;
  auto text = "'" + name + "' failed to load and will be disabled.\n\nFor details, see the log file at: " +
              core::PathToNarrow(Logger::GetLogDirectory());
  if (const auto reason = effect.GetBuildError(); !reason.empty()) text += "\n\n" + reason;
  core::ShowMessageBox(core::eMessageBoxType::Error, text, "Unsupported Lumaro Effect");
}

} // namespace brantok::lumaro::ae

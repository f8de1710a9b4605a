#include "services/CompanionSync.h"

#include "core/Dialogs.h"
#include "core/LocalAppData.h"
#include "core/Logger.h"
#include "core/PathText.h"
#include "services/FileMove.h"

#include <system_error>

namespace brantok::lumaro::services {
namespace {

const std::string Caption = "Sync From Lumaro";
const std::string FailureText = "Unable to sync with Lumaro. Please try sharing again.";
// The desktop application's folder, not the plug-in's own product folder.
const std::string CompanionApplicationName = "BRANTOK Lumaro";
const std::string EffectExtension = ".lumaro-effect";

} // namespace

std::optional<std::filesystem::path> SyncFromLumaro() {
  std::filesystem::path base;
  if (!core::GetLocalAppDataPath(base, CompanionApplicationName)) {
    core::Logger::Log("Failed to get LocalAppData path for SyncFromLumaro", core::eLogChannel::Info);
    core::ShowMessageBox(core::eMessageBoxType::Error, FailureText, Caption);
    return std::nullopt;
  }

  const auto shared = FindFileWithExtension(base / "Share" / "premiere", EffectExtension);
  if (!shared) {
    core::ShowMessageBox(core::eMessageBoxType::Information, "No Lumaro effect shared with Adobe Premiere", Caption);
    return std::nullopt;
  }

  const std::string name = core::PathToNarrow(shared->stem());
  if (core::ShowMessageBox(core::eMessageBoxType::Question, "Receive " + name + " from Lumaro?", Caption) ==
      core::eMessageBoxResult::No) {
    return std::nullopt;
  }

  const auto chosen = core::SaveFileDialog("Save " + name, {{"*.lumaro-effect", "Lumaro Effect"}}, shared->filename(),
                                           std::nullopt, std::nullopt);
  if (!chosen) return std::nullopt;

  // A file that was already at the chosen place must not pass for the
  // received one, so a failed move is a failure whatever is there now.
  const bool moved = MoveFileWithFallback(*shared, *chosen);
  if (moved && std::filesystem::is_regular_file(std::filesystem::status(*chosen))) return chosen;

  core::Logger::Log("Failed to move effect file for SyncFromLumaro", core::eLogChannel::Info);
  core::ShowMessageBox(core::eMessageBoxType::Error, FailureText, Caption);
  return std::nullopt;
}

std::optional<std::filesystem::path> FindFileWithExtension(const std::filesystem::path& folder,
                                                           const std::string& extension) {
  std::error_code error;
  std::filesystem::directory_iterator entry(folder, error);
  if (error) return std::nullopt;

  const std::filesystem::path wanted(extension);
  for (const std::filesystem::directory_iterator end; entry != end; entry.increment(error)) {
    std::error_code statusError;
    if (entry->is_regular_file(statusError) && entry->path().extension() == wanted) return entry->path();
  }
  if (error) throw std::filesystem::filesystem_error("Cannot list folder", folder, error);
  return std::nullopt;
}

} // namespace brantok::lumaro::services

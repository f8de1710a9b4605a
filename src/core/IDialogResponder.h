#pragma once

#include "core/Dialogs.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::core {

// Answers the dialogs in place of a user, for programs that embed the plug-in
// without a desktop to show dialogs on (the command-line host, tests). Each
// answer receives exactly what the caller passed to the dialog function.
// Installed with SetDialogResponder; the plug-in itself never installs one.
class IDialogResponder {
public:
  virtual ~IDialogResponder() = default;

  virtual eMessageBoxResult AnswerMessageBox(eMessageBoxType type, const std::string& text,
                                             const std::string& caption) = 0;

  virtual std::optional<std::filesystem::path>
  AnswerOpenFileDialog(const std::string& title, const std::vector<FileTypeFilter>& filters,
                       const std::optional<std::filesystem::path>& defaultFolder) = 0;

  virtual std::optional<std::filesystem::path>
  AnswerSaveFileDialog(const std::string& title, const std::vector<FileTypeFilter>& filters,
                       const std::optional<std::filesystem::path>& fileName,
                       const std::optional<std::filesystem::path>& defaultFolder,
                       const std::optional<std::filesystem::path>& folder) = 0;
};

} // namespace brantok::lumaro::core

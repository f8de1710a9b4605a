#pragma once

#include "core/IDialogResponder.h"

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::test {

// Plays the user for the dialog functions: records every dialog with its
// arguments and gives scripted answers (None, and "cancelled" for file
// dialogs, once the script has run out).
class ScriptedResponder : public core::IDialogResponder {
public:
  struct ShownMessageBox {
    core::eMessageBoxType type;
    std::string text;
    std::string caption;
  };
  struct ShownFileDialog {
    bool save;
    std::string title;
    std::vector<core::FileTypeFilter> filters;
    std::optional<std::filesystem::path> fileName;
    std::optional<std::filesystem::path> defaultFolder;
    std::optional<std::filesystem::path> folder;
  };

  std::vector<ShownMessageBox> messageBoxes;
  std::vector<ShownFileDialog> fileDialogs;
  std::deque<core::eMessageBoxResult> messageBoxAnswers;
  std::deque<std::optional<std::filesystem::path>> fileDialogAnswers;

  core::eMessageBoxResult AnswerMessageBox(core::eMessageBoxType type, const std::string& text,
                                           const std::string& caption) override;
  std::optional<std::filesystem::path>
  AnswerOpenFileDialog(const std::string& title, const std::vector<core::FileTypeFilter>& filters,
                       const std::optional<std::filesystem::path>& defaultFolder) override;
  std::optional<std::filesystem::path>
  AnswerSaveFileDialog(const std::string& title, const std::vector<core::FileTypeFilter>& filters,
                       const std::optional<std::filesystem::path>& fileName,
                       const std::optional<std::filesystem::path>& defaultFolder,
                       const std::optional<std::filesystem::path>& folder) override;
};

} // namespace brantok::lumaro::test

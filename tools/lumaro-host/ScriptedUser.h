#pragma once

#include "core/IDialogResponder.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

// The person at the keyboard for `lumaro-host action`, answering the plug-in's
// dialogs from the command line. Question boxes take the given answers in
// order and, once those run out, No: declining is the answer that changes
// nothing. Boxes with only an OK button are acknowledged without using an
// answer. The open and save dialogs return their file, made absolute as a
// real dialog's would be, or are cancelled when none was given. Every dialog
// is recorded in order.
//
// The module carries its own copy of the dialog code and finds this object
// through the program's exported LumaroEffectDialogResponder(), which returns
// Active(): null outside an action, so other commands keep the plug-in's
// usual behaviour.
class ScriptedUser : public core::IDialogResponder {
public:
  struct Dialog {
    enum class eKind { MessageBox, OpenFile, SaveFile };
    eKind kind = eKind::MessageBox;
    core::eMessageBoxType type = core::eMessageBoxType::Information; // message boxes only
    std::string caption;                                             // a file dialog's title
    std::string text;                                                // message boxes only
    core::eMessageBoxResult result = core::eMessageBoxResult::None;  // message boxes only
    std::optional<std::filesystem::path> file;                       // file dialogs: none when cancelled
  };

  ScriptedUser(std::vector<bool> answers, std::optional<std::filesystem::path> openFile,
               std::optional<std::filesystem::path> saveFile);

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

  std::vector<Dialog> Dialogs() const;
  // Answers no question asked for, and whether no dialog wanted the files.
  std::size_t UnusedAnswers() const;
  bool OpenFileUnused() const;
  bool SaveFileUnused() const;

  // The user the exported function hands the module; null by default.
  static ScriptedUser* Active();
  static void SetActive(ScriptedUser* user);

private:
  mutable std::mutex mutex_;
  std::vector<bool> answers_; // true: Yes
  std::size_t nextAnswer_ = 0;
  std::optional<std::filesystem::path> openFile_;
  std::optional<std::filesystem::path> saveFile_;
  bool openAsked_ = false;
  bool saveAsked_ = false;
  std::vector<Dialog> dialogs_;

  static std::atomic<ScriptedUser*> active_;
};

} // namespace brantok::lumaro::host

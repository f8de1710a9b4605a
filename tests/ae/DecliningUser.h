#pragma once

#include "core/IDialogResponder.h"

#include <mutex>
#include <string>
#include <vector>

namespace brantok::lumaro::ae::test {

// Answers the module's dialogs for a test program that has no user: every
// message box is closed and every file dialog cancelled, and each message is
// kept. The program exports it as LumaroEffectDialogResponder, the module's
// way to reach the embedding program; without it Windows would show the
// dialogs and wait.
class DecliningUser final : public core::IDialogResponder {
public:
  static DecliningUser& Get();

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

  // "caption: text" of every message box so far.
  std::vector<std::string> Messages() const;

private:
  mutable std::mutex mutex_;
  std::vector<std::string> messages_;
};

} // namespace brantok::lumaro::ae::test

#include "ScriptedResponder.h"

namespace brantok::lumaro::test {

core::eMessageBoxResult ScriptedResponder::AnswerMessageBox(core::eMessageBoxType type, const std::string& text,
                                                            const std::string& caption) {
  messageBoxes.push_back({type, text, caption});
  if (messageBoxAnswers.empty()) return core::eMessageBoxResult::None;
  const auto answer = messageBoxAnswers.front();
  messageBoxAnswers.pop_front();
  return answer;
}

std::optional<std::filesystem::path>
ScriptedResponder::AnswerOpenFileDialog(const std::string& title, const std::vector<core::FileTypeFilter>& filters,
                                        const std::optional<std::filesystem::path>& defaultFolder) {
  fileDialogs.push_back({false, title, filters, std::nullopt, defaultFolder, std::nullopt});
  if (fileDialogAnswers.empty()) return std::nullopt;
  auto answer = fileDialogAnswers.front();
  fileDialogAnswers.pop_front();
  return answer;
}

std::optional<std::filesystem::path>
ScriptedResponder::AnswerSaveFileDialog(const std::string& title, const std::vector<core::FileTypeFilter>& filters,
                                        const std::optional<std::filesystem::path>& fileName,
                                        const std::optional<std::filesystem::path>& defaultFolder,
                                        const std::optional<std::filesystem::path>& folder) {
  fileDialogs.push_back({true, title, filters, fileName, defaultFolder, folder});
  if (fileDialogAnswers.empty()) return std::nullopt;
  auto answer = fileDialogAnswers.front();
  fileDialogAnswers.pop_front();
  return answer;
}

} // namespace brantok::lumaro::test

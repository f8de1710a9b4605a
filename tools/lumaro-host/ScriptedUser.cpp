#include "ScriptedUser.h"

#include <system_error>
#include <utility>

namespace brantok::lumaro::host {
namespace {

std::optional<std::filesystem::path> Absolute(const std::optional<std::filesystem::path>& path) {
  if (!path) return std::nullopt;
  std::error_code error;
  const auto absolute = std::filesystem::absolute(*path, error);
  return error ? *path : absolute;
}

} // namespace

std::atomic<ScriptedUser*> ScriptedUser::active_{nullptr};

ScriptedUser::ScriptedUser(std::vector<bool> answers, std::optional<std::filesystem::path> openFile,
                           std::optional<std::filesystem::path> saveFile) :
    answers_(std::move(answers)),
    openFile_(Absolute(openFile)), saveFile_(Absolute(saveFile)) {}

core::eMessageBoxResult ScriptedUser::AnswerMessageBox(core::eMessageBoxType type, const std::string& text,
                                                       const std::string& caption) {
  std::lock_guard lock(mutex_);
  Dialog dialog;
  dialog.type = type;
  dialog.caption = caption;
  dialog.text = text;
  if (type == core::eMessageBoxType::Question) {
    const bool yes = nextAnswer_ < answers_.size() && answers_[nextAnswer_];
    if (nextAnswer_ < answers_.size()) ++nextAnswer_;
    dialog.result = yes ? core::eMessageBoxResult::Yes : core::eMessageBoxResult::No;
  }
  dialogs_.push_back(dialog);
  return dialog.result;
}

std::optional<std::filesystem::path> ScriptedUser::AnswerOpenFileDialog(const std::string& title,
                                                                        const std::vector<core::FileTypeFilter>&,
                                                                        const std::optional<std::filesystem::path>&) {
  std::lock_guard lock(mutex_);
  openAsked_ = true;
  Dialog dialog;
  dialog.kind = Dialog::eKind::OpenFile;
  dialog.caption = title;
  dialog.file = openFile_;
  dialogs_.push_back(dialog);
  return openFile_;
}

std::optional<std::filesystem::path> ScriptedUser::AnswerSaveFileDialog(const std::string& title,
                                                                        const std::vector<core::FileTypeFilter>&,
                                                                        const std::optional<std::filesystem::path>&,
                                                                        const std::optional<std::filesystem::path>&,
                                                                        const std::optional<std::filesystem::path>&) {
  std::lock_guard lock(mutex_);
  saveAsked_ = true;
  Dialog dialog;
  dialog.kind = Dialog::eKind::SaveFile;
  dialog.caption = title;
  dialog.file = saveFile_;
  dialogs_.push_back(dialog);
  return saveFile_;
}

std::vector<ScriptedUser::Dialog> ScriptedUser::Dialogs() const {
  std::lock_guard lock(mutex_);
  return dialogs_;
}

std::size_t ScriptedUser::UnusedAnswers() const {
  std::lock_guard lock(mutex_);
  return answers_.size() - nextAnswer_;
}

bool ScriptedUser::OpenFileUnused() const {
  std::lock_guard lock(mutex_);
  return openFile_ && !openAsked_;
}

bool ScriptedUser::SaveFileUnused() const {
  std::lock_guard lock(mutex_);
  return saveFile_ && !saveAsked_;
}

ScriptedUser* ScriptedUser::Active() { return active_.load(); }

void ScriptedUser::SetActive(ScriptedUser* user) { active_.store(user); }

} // namespace brantok::lumaro::host

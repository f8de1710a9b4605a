#include "DecliningUser.h"

#include "ae/EffectExport.h"

namespace brantok::lumaro::ae::test {

DecliningUser& DecliningUser::Get() {
  static DecliningUser user;
  return user;
}

core::eMessageBoxResult DecliningUser::AnswerMessageBox(core::eMessageBoxType, const std::string& text,
                                                        const std::string& caption) {
  std::lock_guard lock(mutex_);
  messages_.push_back(caption + ": " + text);
  return core::eMessageBoxResult::None;
}

std::optional<std::filesystem::path> DecliningUser::AnswerOpenFileDialog(const std::string&,
                                                                         const std::vector<core::FileTypeFilter>&,
                                                                         const std::optional<std::filesystem::path>&) {
  return std::nullopt;
}

std::optional<std::filesystem::path> DecliningUser::AnswerSaveFileDialog(const std::string&,
                                                                         const std::vector<core::FileTypeFilter>&,
                                                                         const std::optional<std::filesystem::path>&,
                                                                         const std::optional<std::filesystem::path>&,
                                                                         const std::optional<std::filesystem::path>&) {
  return std::nullopt;
}

std::vector<std::string> DecliningUser::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

} // namespace brantok::lumaro::ae::test

LUMARO_EFFECT_EXPORT brantok::lumaro::core::IDialogResponder* LumaroEffectDialogResponder() {
  return &brantok::lumaro::ae::test::DecliningUser::Get();
}

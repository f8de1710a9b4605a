// POSIX only: no desktop to show dialogs on. Message boxes go to standard
// error, where someone running the command-line host sees them; file dialogs
// behave as if cancelled.
#include "core/SystemDialogs.h"

#include <iostream>

namespace brantok::lumaro::core {

eMessageBoxResult ShowSystemMessageBox(eMessageBoxType, const std::string& text, const std::string& caption) {
  std::cerr << caption << ": " << text << std::endl;
  return eMessageBoxResult::None;
}

std::optional<std::filesystem::path> ShowSystemOpenFileDialog(const std::string&, const std::vector<FileTypeFilter>&,
                                                              const std::optional<std::filesystem::path>&) {
  return std::nullopt;
}

std::optional<std::filesystem::path> ShowSystemSaveFileDialog(const std::string&, const std::vector<FileTypeFilter>&,
                                                              const std::optional<std::filesystem::path>&,
                                                              const std::optional<std::filesystem::path>&,
                                                              const std::optional<std::filesystem::path>&) {
  return std::nullopt;
}

} // namespace brantok::lumaro::core

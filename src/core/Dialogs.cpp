#include "core/Dialogs.h"

#include "core/DialogResponder.h"
#include "core/SystemDialogs.h"

#include <cctype>

namespace brantok::lumaro::core {

eMessageBoxResult ShowMessageBox(eMessageBoxType type, const std::string& text, const std::string& caption) {
  if (const auto responder = GetDialogResponder()) return responder->AnswerMessageBox(type, text, caption);
  return ShowSystemMessageBox(type, text, caption);
}

std::optional<std::filesystem::path> OpenFileDialog(const std::string& title,
                                                    const std::vector<FileTypeFilter>& filters,
                                                    const std::optional<std::filesystem::path>& defaultFolder) {
  if (const auto responder = GetDialogResponder())
    return responder->AnswerOpenFileDialog(title, filters, defaultFolder);
  return ShowSystemOpenFileDialog(title, filters, defaultFolder);
}

std::optional<std::filesystem::path> SaveFileDialog(const std::string& title,
                                                    const std::vector<FileTypeFilter>& filters,
                                                    const std::optional<std::filesystem::path>& fileName,
                                                    const std::optional<std::filesystem::path>& defaultFolder,
                                                    const std::optional<std::filesystem::path>& folder) {
  if (const auto responder = GetDialogResponder()) {
    return responder->AnswerSaveFileDialog(title, filters, fileName, defaultFolder, folder);
  }
  return ShowSystemSaveFileDialog(title, filters, fileName, defaultFolder, folder);
}

std::filesystem::path RemoveLongPathPrefix(const std::filesystem::path& path) {
  using Char = std::filesystem::path::value_type;
  const auto& native = path.native();
  // Letters compare without case ("\\?\unc\" is the same prefix), the rest
  // exactly; the prefixes are ASCII.
  const auto startsWith = [&native](std::basic_string_view<Char> prefix) {
    if (native.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
      const auto a = static_cast<unsigned>(native[i]);
      const auto b = static_cast<unsigned>(prefix[i]);
      if (a != b && (a > 127 || std::tolower(static_cast<int>(a)) != std::tolower(static_cast<int>(b)))) return false;
    }
    return true;
  };
  static constexpr Char longPrefix[] = {'\\', '\\', '?', '\\'};
  static constexpr Char uncPrefix[] = {'\\', '\\', '?', '\\', 'U', 'N', 'C', '\\'};
  // Stripping only the four characters of a long UNC path would leave
  // "UNC\server\share", which names no folder at all.
  if (startsWith({uncPrefix, std::size(uncPrefix)})) {
    auto rest = native.substr(std::size(uncPrefix));
    rest.insert(rest.begin(), 2, Char('\\'));
    return std::filesystem::path(rest);
  }
  if (startsWith({longPrefix, std::size(longPrefix)})) return std::filesystem::path(native.substr(4));
  return path;
}

} // namespace brantok::lumaro::core

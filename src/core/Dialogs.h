#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::core {

// The operating system's standard dialogs, owned by the host's active window.
// All of them are modal: they return when the user has closed the dialog.

enum class eMessageBoxType : int {
  Information = 1, // information icon, OK
  Error = 2,       // error icon, OK
  Warning = 3,     // warning icon, OK
  Question = 4,    // question icon, Yes and No
};

enum class eMessageBoxResult : int {
  None = 0, // OK, closed, or the box could not be shown
  Yes = 1,
  No = 2,
};

// One entry of a file dialog's type list, e.g. {"*.lumaro-effect", "Lumaro Effect"}.
struct FileTypeFilter {
  std::filesystem::path pattern;
  std::string displayName;
};

// Text and caption are shown as given. Any type outside the enumeration gets
// no icon and an OK button.
eMessageBoxResult ShowMessageBox(eMessageBoxType type, const std::string& text, const std::string& caption);

// Both file dialogs return no path when the user cancels and when anything
// fails (failures are logged); callers cannot and need not tell the two apart.
// Filters are shown in the given order. Folders the shell cannot parse are
// ignored.
std::optional<std::filesystem::path> OpenFileDialog(const std::string& title,
                                                    const std::vector<FileTypeFilter>& filters,
                                                    const std::optional<std::filesystem::path>& defaultFolder);

// `fileName` proposes a name (only its last element is used); `folder` forces
// the folder the dialog opens in, `defaultFolder` only suggests one.
std::optional<std::filesystem::path> SaveFileDialog(const std::string& title,
                                                    const std::vector<FileTypeFilter>& filters,
                                                    const std::optional<std::filesystem::path>& fileName,
                                                    const std::optional<std::filesystem::path>& defaultFolder,
                                                    const std::optional<std::filesystem::path>& folder);

// The path without a leading "\\?\" long-path prefix; "\\?\UNC\server\share"
// becomes "\\server\share". Other paths come back unchanged.
std::filesystem::path RemoveLongPathPrefix(const std::filesystem::path& path);

} // namespace brantok::lumaro::core

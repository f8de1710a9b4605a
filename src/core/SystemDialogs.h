#pragma once

#include "core/Dialogs.h"

namespace brantok::lumaro::core {

// What the dialog functions do when no responder is installed: the real
// dialogs on Windows, stand-ins elsewhere. One implementation per platform.

eMessageBoxResult ShowSystemMessageBox(eMessageBoxType type, const std::string& text, const std::string& caption);

std::optional<std::filesystem::path>
ShowSystemOpenFileDialog(const std::string& title, const std::vector<FileTypeFilter>& filters,
                         const std::optional<std::filesystem::path>& defaultFolder);

std::optional<std::filesystem::path> ShowSystemSaveFileDialog(const std::string& title,
                                                              const std::vector<FileTypeFilter>& filters,
                                                              const std::optional<std::filesystem::path>& fileName,
                                                              const std::optional<std::filesystem::path>& defaultFolder,
                                                              const std::optional<std::filesystem::path>& folder);

} // namespace brantok::lumaro::core

// Windows only: MessageBoxA and the shell's common item dialogs, owned by the
// host's active window.
#include "core/SystemDialogs.h"

#include "core/Logger.h"
#include "core/WindowsSupport.h"

#include <shobjidl.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace brantok::lumaro::core {
namespace {

void ReleaseComObject(IUnknown* object) { object->Release(); }

template <class T>
using ComOwner = std::unique_ptr<T, void (*)(IUnknown*)>;

template <class T>
ComOwner<T> Own(T* object) {
  return ComOwner<T>(object, ReleaseComObject);
}

UINT StyleFor(eMessageBoxType type) {
  switch (type) {
  case eMessageBoxType::Information:
    return MB_ICONINFORMATION | MB_OK;
  case eMessageBoxType::Error:
    return MB_ICONERROR | MB_OK;
  case eMessageBoxType::Warning:
    return MB_ICONWARNING | MB_OK;
  case eMessageBoxType::Question:
    return MB_ICONQUESTION | MB_YESNO;
  }
  return MB_OK;
}

// Narrow text from callers is in the runtime's current locale.
std::wstring Widen(const std::string& text) {
  std::size_t needed = 0;
  if (text.empty() || mbstowcs_s(&needed, nullptr, 0, text.c_str(), text.size()) != 0 || needed == 0) return {};
  std::wstring wide(needed, L'\0');
  std::size_t converted = 0;
  if (mbstowcs_s(&converted, wide.data(), wide.size(), text.c_str(), text.size()) != 0) return {};
  wide.resize(converted > 0 ? converted - 1 : 0); // the count includes the terminator
  return wide;
}

// A shell item for a folder, or nothing when the shell cannot parse it.
ComOwner<IShellItem> FolderItem(const std::filesystem::path& folder) {
  const std::wstring parsingName = RemoveLongPathPrefix(folder).native();
  IShellItem* item = nullptr;
  if (FAILED(
          SHCreateItemFromParsingName(parsingName.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&item))) ||
      !item) {
    return Own<IShellItem>(nullptr);
  }
  return Own(item);
}

void SetFileTypes(IFileDialog& dialog, const std::vector<FileTypeFilter>& filters) {
  std::vector<std::wstring> names, patterns;
  names.reserve(filters.size());
  patterns.reserve(filters.size());
  std::vector<COMDLG_FILTERSPEC> specs;
  for (const auto& filter : filters) {
    names.push_back(Widen(filter.displayName));
    patterns.push_back(filter.pattern.wstring());
    specs.push_back({names.back().c_str(), patterns.back().c_str()});
  }
  dialog.SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
}

// The steps both file dialogs share: COM for the call, the dialog object, the
// caller's set-up, showing it and reading the chosen file-system path.
// `configure` keeps any shell items it creates alive until the dialog has
// been shown, through `keepAlive`.
std::optional<std::filesystem::path>
RunFileDialog(const std::string& dialogName, REFCLSID classId, REFIID interfaceId,
              const std::function<void(IFileDialog&, std::vector<ComOwner<IShellItem>>&)>& configure) {
  const ScopedComInitialisation com;
  if (!com.Usable()) {
    Logger::Log("Failed to initialize COM library in " + dialogName +
                    ". Error code: " + std::to_string(static_cast<long>(com.Result())),
                eLogChannel::Error);
    return std::nullopt;
  }

  IFileDialog* rawDialog = nullptr;
  const HRESULT created =
      CoCreateInstance(classId, nullptr, CLSCTX_ALL, interfaceId, reinterpret_cast<void**>(&rawDialog));
  if (FAILED(created) || !rawDialog) {
    Logger::Log("Failed to create COM object in " + dialogName +
                    ". Error code: " + std::to_string(static_cast<long>(created)),
                eLogChannel::Error);
    return std::nullopt;
  }
  const auto dialog = Own(rawDialog);
  std::vector<ComOwner<IShellItem>> keepAlive;
  configure(*dialog, keepAlive);

  std::optional<std::filesystem::path> result;
  if (SUCCEEDED(dialog->Show(GetActiveWindow()))) {
    IShellItem* rawItem = nullptr;
    if (SUCCEEDED(dialog->GetResult(&rawItem)) && rawItem) {
      const auto item = Own(rawItem);
      PWSTR chosen = nullptr;
      if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &chosen)) && chosen) result = std::filesystem::path(chosen);
      CoTaskMemFree(chosen);
    }
  }
  keepAlive.clear(); // the folder items go before the dialog
  return result;
}

} // namespace

eMessageBoxResult ShowSystemMessageBox(eMessageBoxType type, const std::string& text, const std::string& caption) {
  switch (MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), StyleFor(type))) {
  case IDYES:
    return eMessageBoxResult::Yes;
  case IDNO:
    return eMessageBoxResult::No;
  default:
    return eMessageBoxResult::None;
  }
}

std::optional<std::filesystem::path>
ShowSystemOpenFileDialog(const std::string& title, const std::vector<FileTypeFilter>& filters,
                         const std::optional<std::filesystem::path>& defaultFolder) {
  return RunFileDialog("OpenFileDialog", CLSID_FileOpenDialog, IID_IFileOpenDialog,
                       [&](IFileDialog& dialog, std::vector<ComOwner<IShellItem>>& keepAlive) {
                         if (defaultFolder) {
                           if (auto item = FolderItem(*defaultFolder)) {
                             dialog.SetDefaultFolder(item.get());
                             keepAlive.push_back(std::move(item));
                           }
                         }
                         if (!title.empty()) dialog.SetTitle(Widen(title).c_str());
                         SetFileTypes(dialog, filters);
                       });
}

std::optional<std::filesystem::path> ShowSystemSaveFileDialog(const std::string& title,
                                                              const std::vector<FileTypeFilter>& filters,
                                                              const std::optional<std::filesystem::path>& fileName,
                                                              const std::optional<std::filesystem::path>& defaultFolder,
                                                              const std::optional<std::filesystem::path>& folder) {
  return RunFileDialog("SaveFileDialog", CLSID_FileSaveDialog, IID_IFileSaveDialog,
                       [&](IFileDialog& dialog, std::vector<ComOwner<IShellItem>>& keepAlive) {
                         if (defaultFolder) {
                           if (auto item = FolderItem(*defaultFolder)) {
                             dialog.SetDefaultFolder(item.get());
                             keepAlive.push_back(std::move(item));
                           }
                         }
                         if (!title.empty()) dialog.SetTitle(Widen(title).c_str());
                         if (fileName) dialog.SetFileName(fileName->filename().wstring().c_str());
                         if (folder) {
                           if (auto item = FolderItem(*folder)) {
                             dialog.SetFolder(item.get());
                             keepAlive.push_back(std::move(item));
                           }
                         }
                         SetFileTypes(dialog, filters);
                       });
}

} // namespace brantok::lumaro::core

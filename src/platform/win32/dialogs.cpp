// The dialogs: the file-open dialog of the pickers, the shell's folder
// browser and the error message box.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "win32_internal.h"

namespace tessaly::win32 {

Choice Win32Desktop::ChooseFile(const FileRequest& request) {
    const std::string filter = DialogFilter(request.filters);
    // The name box starts empty: a full path in it would make the dialog open
    // in that file's folder instead of the folder asked for.
    std::vector<char> file(32768, '\0');
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = MainWindow();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = filter.empty() ? 0 : 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = request.folder.empty() ? nullptr : request.folder.c_str();
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (::GetOpenFileNameA(&ofn)) return {Choice::Kind::Chosen, file.data()};
    return {::CommDlgExtendedError() == 0 ? Choice::Kind::Cancelled : Choice::Kind::Failed, {}};
}

Choice Win32Desktop::ChooseFolder(const std::string& prompt) {
    char name[MAX_PATH] = {};
    BROWSEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.hwndOwner = MainWindow();
    info.pszDisplayName = name;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const ScopedItemIdList item(::SHBrowseForFolderA(&info));
    if (!item) return {Choice::Kind::Cancelled, {}};
    // A folder outside the file system (a printer, the network) has no path.
    char path[MAX_PATH] = {};
    if (::SHGetPathFromIDListA(item.get(), path) && path[0] != '\0') return {Choice::Kind::Chosen, path};
    return {Choice::Kind::Failed, {}};
}

void Win32Desktop::ShowError(const std::string& title, const std::string& text) {
    ::MessageBoxA(Live() ? MainWindow() : nullptr, text.c_str(), title.c_str(), MB_ICONEXCLAMATION);
}

}  // namespace tessaly::win32

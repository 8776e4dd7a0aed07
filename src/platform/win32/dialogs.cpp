// The dialogs: the file-open dialog of the pickers, the shell's folder
// browser and the message box.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace tessaly::win32 {

namespace {

class FileDialog final : public IFileDialog {
public:
    explicit FileDialog(Win32Platform& platform) : platform_(platform) {}
    Result ShowOpen() override {
        const std::string filter = DialogFilter(filter_);
        // The name box starts empty: a full path left from an earlier pick
        // would make the dialog open in that file's folder instead of the
        // folder asked for.
        std::vector<char> file(32768, '\0');
        OPENFILENAMEA ofn;
        std::memset(&ofn, 0, sizeof ofn);
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = platform_.MainWindow();
        ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = filter.empty() ? 0 : 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrInitialDir = initDir_.empty() ? nullptr : initDir_.c_str();
        ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
        if (::GetOpenFileNameA(&ofn)) {
            fileName_ = file.data();
            return Result::Chosen;
        }
        return ::CommDlgExtendedError() == 0 ? Result::Cancelled : Result::Failed;
    }

private:
    Win32Platform& platform_;
};

}  // namespace

std::unique_ptr<IFileDialog> Win32Platform::CreateFileDialog() { return std::make_unique<FileDialog>(*this); }

BrowseResult Win32Platform::BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt, int options) {
    char name[MAX_PATH] = {};
    BROWSEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.hwndOwner = HandleFromValue<HWND>(ownerWindow);
    info.pszDisplayName = name;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = static_cast<UINT>(options);
    const ScopedItemIdList item(::SHBrowseForFolderA(&info));
    BrowseResult result;
    if (!item) {
        result.kind = BrowseResult::Kind::Cancelled;
        return result;
    }
    char path[MAX_PATH] = {};
    if (::SHGetPathFromIDListA(item.get(), path) && path[0] != '\0') {
        result.kind = BrowseResult::Kind::Chosen;
        result.path = FolderWithoutTrailingSeparator(path);
    } else {
        result.kind = BrowseResult::Kind::Failed;
    }
    return result;
}

int Win32Platform::MsgBox(const std::string& text, int style, const std::string& title) {
    return ::MessageBoxA(Live() ? MainWindow() : nullptr, text.c_str(), title.c_str(), static_cast<UINT>(style));
}

}  // namespace tessaly::win32

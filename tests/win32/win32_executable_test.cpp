// What tessaly.exe brings along, read without running it: its pictures and the system calls it needs.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

namespace {

// The program file, mapped for its resources and headers for the test's whole run.
HMODULE Exe() {
    const std::string path = TESSALY_EXE_PATH[0] == '/' ? "Z:" TESSALY_EXE_PATH : TESSALY_EXE_PATH;  // POSIX under Wine
    static const HMODULE exe = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return exe;
}

std::string_view Resource(int type, int id) {
    HRSRC found = ::FindResourceA(Exe(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (!found) return {};
    return {static_cast<const char*>(::LockResource(::LoadResource(Exe(), found))), ::SizeofResource(Exe(), found)};
}

// The 16 x 16, 256-colour image of icon group `group`.
std::string_view SmallIcon(int group) {
    const std::string_view dir = Resource(14 /* RT_GROUP_ICON */, group);
    for (std::size_t entry = 6; entry + 14 <= dir.size(); entry += 14) {
        auto word = [&](std::size_t at) { return *reinterpret_cast<const WORD*>(dir.data() + entry + at); };
        if (dir[entry] == 16 && dir[entry + 1] == 16 && word(6) == 8) return Resource(3 /* RT_ICON */, word(12));
    }
    return {};
}

TEST(Executable, CarriesTwoDistinctStateIconsAndTheButtonPictures) {
    const std::string_view paused = SmallIcon(1), running = SmallIcon(2);  // the first is the file's own
    ASSERT_FALSE(paused.empty() || running.empty()) << "no 16 x 16, 256-colour image for a state in " TESSALY_EXE_PATH;
    EXPECT_NE(paused, running);
    // The tool row's four pictures at 100, 150 and 200 %.
    for (int id : {200, 201, 202, 210, 211, 212, 220, 221, 222, 230, 231, 232}) {
        EXPECT_FALSE(Resource(2 /* RT_BITMAP */, id).empty()) << id;
    }
}

TEST(Executable, ImportsOnlySystemDllsAndPassesTextAsBytes) {
    ASSERT_NE(Exe(), nullptr) << TESSALY_EXE_PATH << " error " << ::GetLastError();
    // The loader marks an image mapped for its resources in the handle's low bits.
    const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<UINT_PTR>(Exe()) & ~UINT_PTR{3});
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll",   "shell32.dll", "comctl32.dll",
                                          "comdlg32.dll", "ole32.dll",  "uxtheme.dll", "msimg32.dll", "msvcrt.dll"};
    std::set<std::string> functions;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        std::string dll = reinterpret_cast<const char*>(base + d->Name);
        ::CharLowerA(dll.data());
        EXPECT_TRUE(system.count(dll)) << dll << " does not come with Windows";  // a missing -static
        for (auto* t = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk); t->u1.Ordinal; ++t) {
            if (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal)) continue;
            functions.insert(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData)->Name);
        }
    }
    // The tray tip, the paths and the messages reach Windows in the ANSI code page, untranscoded.
    for (std::string call : {"Shell_NotifyIcon", "ShellExecute", "MessageBox", "SetWindowText", "GetWindowText",
                             "GetOpenFileName", "SHBrowseForFolder", "SHGetPathFromIDList", "CreateFile"}) {
        EXPECT_TRUE(functions.count(call + "A")) << call;
        EXPECT_FALSE(functions.count(call + "W")) << call;
    }
}

}  // namespace

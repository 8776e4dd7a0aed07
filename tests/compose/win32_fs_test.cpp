// Windows file system behaviour: ANSI names, attributes and readers that hold
// the signature file open.
#include <windows.h>

#include "compose_fixture.h"

namespace tessaly::test {
namespace {

TEST(Win32Files, AnsiNamesPassAsBytes) {
    ScratchFolder dir;
    const std::string folder = dir.Path("fragm\xE9nts");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string fragment = folder + "\\caf\xE9.htm";
    const std::string quotes = dir.Path("cita\xE7\xF5" "es.txt");
    for (const auto& [path, bytes] : {std::pair{fragment, std::string("<i>caf\xE9</i>\r\n")},
                                      std::pair{quotes, std::string("na\xEFve\r\n")}}) {
        const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    std::vector<std::string> names;
    ASSERT_TRUE(fs::ListPlainFiles(folder, names));
    EXPECT_EQ(names, std::vector<std::string>{"caf\xE9.htm"});

    ComposePaths paths;
    paths.templatePath = dir.Write("template.txt", "quote1 htmPath1");
    paths.signaturePath = dir.Path("sign\xE9.txt");
    paths.quote1 = quotes;
    paths.htmPath1 = folder;
    ScriptedRandom random{0.0f, 0.0f};
    ASSERT_TRUE(ComposeSignature(paths, random));
    std::string signature;
    ASSERT_TRUE(fs::ReadWholeFile(paths.signaturePath, signature));
    EXPECT_EQ(signature, "na\xEFve <i>caf\xE9</i>\r\n");
}

TEST(Win32Files, HiddenAndSystemFilesAreNotListed) {
    ScratchFolder dir;
    const std::string folder = dir.Folder("html");
    dir.Folder("html\\sub");
    const std::pair<const char*, DWORD> files[] = {
        {"hidden.htm", FILE_ATTRIBUTE_HIDDEN},     {"system.htm", FILE_ATTRIBUTE_SYSTEM},
        {"readonly.htm", FILE_ATTRIBUTE_READONLY}, {"archive.htm", FILE_ATTRIBUTE_ARCHIVE},
        {"normal.htm", FILE_ATTRIBUTE_NORMAL},
    };
    for (const auto& [name, attributes] : files) {
        const std::string path = dir.Write(std::string("html\\") + name, name);
        ASSERT_TRUE(::SetFileAttributesA(path.c_str(), attributes)) << name;
    }
    std::vector<std::string> names;
    ASSERT_TRUE(fs::ListPlainFiles(folder, names));
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              (std::set<std::string>{"archive.htm", "normal.htm", "readonly.htm"}));

    // With only hidden and system files left, the folder offers nothing.
    for (const char* name : {"archive.htm", "normal.htm", "readonly.htm"}) {
        const std::string path = dir.Path(std::string("html\\") + name);
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(::DeleteFileA(path.c_str())) << name;
    }
    ScriptedRandom random{0.0f};
    EXPECT_FALSE(ReadRandomFile(folder, random));
    for (const auto& [name, attributes] : files) {
        ::SetFileAttributesA(dir.Path(std::string("html\\") + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(Win32Files, ReaderThatDoesNotShareDeleteBlocksTheReplace) {
    ScratchFolder dir;
    const std::string path = dir.Write("sig.txt", "old signature\r\n");

    HANDLE reader = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fs::ReplaceFileAtomically(path, "new signature\r\n"));
    char seen[64] = {};
    DWORD got = 0;
    ASSERT_TRUE(::ReadFile(reader, seen, sizeof seen, &got, nullptr));
    EXPECT_EQ(std::string(seen, got), "old signature\r\n");
    ::CloseHandle(reader);
    EXPECT_EQ(ReadBytes(path), "old signature\r\n");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"sig.txt"});

    // A reader that shares delete keeps its view of the old file while the
    // new one takes the name.
    reader = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(fs::ReplaceFileAtomically(path, "new signature\r\n"));
    ASSERT_TRUE(::ReadFile(reader, seen, sizeof seen, &got, nullptr));
    EXPECT_EQ(std::string(seen, got), "old signature\r\n");
    ::CloseHandle(reader);
    EXPECT_EQ(ReadBytes(path), "new signature\r\n");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"sig.txt"});
}

TEST(Win32Files, ReadOnlySignatureIsLeftAlone) {
    ScratchFolder dir;
    const std::string path = dir.Write("sig.txt", "kept");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(fs::ReplaceFileAtomically(path, "refused"));
    EXPECT_EQ(ReadBytes(path), "kept");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"sig.txt"});
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace tessaly::test

// Windows files: names in the ANSI code page pass as bytes, and hidden and
// system files are not drawn.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/support.h"

namespace tessaly::test {
namespace {

void Create(const std::string& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

TEST(Win32Files, AnsiNamesAndBytesPassUnchangedAndOnlyPlainFilesAreDrawn) {
    ScratchFolder dir;
    // Built by hand: the names must not pass through a wide-character path.
    const std::string folder = dir.Path() + "\\fragm\xE9nts";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    // Sorted by name the hidden and system files come first: were they
    // listed, the first draw would take one.
    Create(folder + "\\0 hidden.htm", "hidden", FILE_ATTRIBUTE_HIDDEN);
    Create(folder + "\\1 system.htm", "system", FILE_ATTRIBUTE_SYSTEM);
    Create(folder + "\\caf\xE9.htm", "<i>caf\xE9</i>\r\n", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ComposePaths paths{dir.Write("template.txt", "quote1 htmPath1"), dir.Path() + "\\sign\xE9.txt",
                       dir.Path() + "\\cita\xE7\xF5" "es.txt", "", folder, ""};
    Create(paths.quote1, "na\xEFve\r\n");
    ScriptedDraws random;
    ASSERT_TRUE(ComposeSignature(paths, random));
    EXPECT_EQ(ReadBytes(paths.signaturePath), "na\xEFve <i>caf\xE9</i>\r\n");
    SetFileAttributesA((folder + "\\caf\xE9.htm").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace tessaly::test

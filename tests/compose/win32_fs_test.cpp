// Windows files: names in the ANSI code page pass as bytes, and hidden and
// system files are not drawn.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/fs.h"
#include "support/support.h"

namespace tessaly::test {
namespace {

// A file written under its name in the ANSI code page (a narrow name passes
// to the C library as bytes), then given its attributes.
void Create(const std::string& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    WriteBytes(path, bytes);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
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

// An installed copy keeps the user's files under %APPDATA%, whatever its
// length; with none set there is no such folder.
TEST(Win32Files, TheUsersFolderIsAppData) {
    std::string kept(32767, '\0');
    kept.resize(GetEnvironmentVariableA("APPDATA", kept.data(), static_cast<DWORD>(kept.size())));
    const std::string deep = "C:\\Users\\" + std::string(300, 'u') + "\\AppData\\Roaming";
    SetEnvironmentVariableA("APPDATA", deep.c_str());
    EXPECT_EQ(fs::UserConfigFolder(), deep);
    SetEnvironmentVariableA("APPDATA", nullptr);
    EXPECT_EQ(fs::UserConfigFolder(), "");
    SetEnvironmentVariableA("APPDATA", kept.empty() ? nullptr : kept.c_str());
}

}  // namespace
}  // namespace tessaly::test

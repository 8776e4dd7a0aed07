// Windows files: names in the ANSI code page pass as bytes, hidden and
// system files are not drawn, and a source is known by any of its names.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>

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

// Letter case, forward slashes and short names all name the same file or
// folder: a signature given so is refused and nothing is written.
TEST(Win32Files, ASourceNamedAnotherWayIsNeitherOverwrittenNorWrittenInto) {
    ScratchFolder dir;
    const std::string templ = dir.Write("Long Template Name.txt", "quote1");
    dir.Write("fragments folder/a.htm", "A");
    ComposePaths paths{templ, "", dir.Write("q1.txt", "one\r\n"), "", dir.Path("fragments folder"), ""};
    const auto shortName = [](const std::string& path) {
        char name[MAX_PATH] = "";
        const DWORD length = GetShortPathNameA(path.c_str(), name, MAX_PATH);
        EXPECT_GT(length, 0u) << path;
        EXPECT_NE(name, path) << "no short name";
        return std::string(name);
    };
    std::string upper = templ, slashes = templ;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    const auto refusal = [&](const std::string& signature) {
        const auto before = dir.Entries();
        paths.signaturePath = signature;
        ScriptedDraws random;
        const ComposeResult result = ComposeSignature(paths, random);
        EXPECT_EQ(ReadBytes(templ), "quote1");
        EXPECT_EQ(dir.Entries(), before);
        EXPECT_EQ(dir.Entries("fragments folder"), std::set<std::string>{"a.htm"});
        return result.reason;
    };
    for (const std::string& signature : {upper, slashes, shortName(templ)}) {
        EXPECT_EQ(refusal(signature), "the same file as the template") << signature;
    }
    EXPECT_EQ(refusal(dir.Path("FRAGMENTS FOLDER\\new.htm")), "inside HTML folder 1");
    EXPECT_EQ(refusal(shortName(dir.Path("fragments folder")) + "\\new.htm"), "inside HTML folder 1");
    EXPECT_EQ(refusal(dir.Path("fragments folder/../fragments folder/new.htm")), "inside HTML folder 1");
}

}  // namespace
}  // namespace tessaly::test

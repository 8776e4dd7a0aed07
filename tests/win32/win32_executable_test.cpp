// What tessaly.exe brings along, read without running it: its pictures (its imports are check_imports.sh's).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

// The program file, mapped for its resources for the test's whole run.
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

}  // namespace

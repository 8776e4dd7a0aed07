// Replacing the signature file while others may be reading it.
#include <thread>

#include "compose_fixture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace tessaly::test {
namespace {

TEST(AtomicReplace, CreatesOrReplacesWholeAndLeavesNoTemporaryFile) {
    ScratchFolder dir;
    const std::string path = dir.Path("sig.txt");
    ASSERT_TRUE(fs::ReplaceFileAtomically(path, "new file"));
    EXPECT_EQ(ReadBytes(path), "new file");
    ASSERT_TRUE(fs::ReplaceFileAtomically(path, "x"));
    EXPECT_EQ(ReadBytes(path), "x");
    ASSERT_TRUE(fs::ReplaceFileAtomically(path, ""));
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"sig.txt"});

    // A folder in the file's place, a missing folder and an empty path fail.
    dir.Folder("taken");
    EXPECT_FALSE(fs::ReplaceFileAtomically(dir.Path("taken"), "x"));
    EXPECT_FALSE(fs::ReplaceFileAtomically(dir.Path("missing") + fs::PathSeparator() + "sig.txt", "x"));
    EXPECT_FALSE(fs::ReplaceFileAtomically("", "x"));
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"sig.txt", "taken"}));
    EXPECT_TRUE(stdfs::is_empty(dir.Path("taken")));
}

TEST(AtomicReplace, EnsureFolderCreatesOneLevel) {
    ScratchFolder dir;
    EXPECT_TRUE(fs::EnsureFolder(dir.Path("data")));
    EXPECT_TRUE(stdfs::is_directory(dir.Path("data")));
    EXPECT_TRUE(fs::EnsureFolder(dir.Path("data")));
    dir.Write("file", "x");
    EXPECT_FALSE(fs::EnsureFolder(dir.Path("file")));
    EXPECT_FALSE(fs::EnsureFolder(dir.Path("a") + fs::PathSeparator() + "b"));
    EXPECT_FALSE(fs::EnsureFolder(""));
}

// Reads the file as a mail client does: its size first, then that many bytes.
// Empty when the file could not be opened at that moment.
std::string ReadLikeAMailClient(const std::string& path) {
#ifdef _WIN32
    // A reader that shares delete; one that does not may block the replace
    // (see the Windows tests).
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file, &size);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    ::CloseHandle(file);
    bytes.resize(got);
    return bytes;
#else
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), size);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
#endif
}

TEST(AtomicReplace, ConcurrentReaderSeesOnlyWholeSignatures) {
    ScratchFolder dir;
    ComposePaths paths;
    const std::string longText(64 * 1024, 'L');
    const std::string shortText(3000, 's');
    const std::string templates[2] = {dir.Write("long.txt", longText), dir.Write("short.txt", shortText)};
    paths.signaturePath = dir.Path("sig.txt");
    paths.templatePath = templates[0];
    TimeOfDayRandom random;
    ASSERT_TRUE(ComposeSignature(paths, random));

    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            const std::string seen = ReadLikeAMailClient(paths.signaturePath);
            if (seen.empty()) continue;
            ++reads;
            if (seen != longText + "\r\n" && seen != shortText + "\r\n") ++torn;
        }
    });
    int replaced = 0;
    for (int i = 1; i <= 2000; ++i) {
        paths.templatePath = templates[i % 2];
        replaced += ComposeSignature(paths, random) ? 1 : 0;
    }
    done = true;
    reader.join();

    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_GT(reads, 0);
    EXPECT_EQ(replaced, 2000);
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"long.txt", "short.txt", "sig.txt"}));
}

#ifndef _WIN32
TEST(AtomicReplace, KeepsPermissionsLinksAndReadOnlyFiles) {
    ScratchFolder dir;
    const std::string path = dir.Write("sig.txt", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(fs::ReplaceFileAtomically(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A link keeps pointing at the file, which receives the content.
    const std::string link = dir.Path("link.txt");
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(fs::ReplaceFileAtomically(link, "through the link"));
    EXPECT_TRUE(stdfs::is_symlink(link));
    EXPECT_EQ(ReadBytes(path), "through the link");

    // A file the user made read-only is not replaced.
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(fs::ReplaceFileAtomically(path, "refused"));
    EXPECT_EQ(ReadBytes(path), "through the link");
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"link.txt", "sig.txt"}));
}
#endif

}  // namespace
}  // namespace tessaly::test

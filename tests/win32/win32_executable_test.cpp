// What a user and the file browser see of tessaly.exe without running it:
// its icons, button pictures, manifest, version and the DLLs it needs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

std::string ExePath() {
    std::string path = TESSALY_EXE_PATH;
    // The build names the file with a POSIX path when it runs under Wine.
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
    }
    return path;
}

class Executable : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = ::LoadLibraryExA(ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << ExePath() << " error " << ::GetLastError();
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
    }
    std::vector<unsigned char> Resource(LPCSTR type, int id) const {
        HRSRC found = ::FindResourceA(module_, MAKEINTRESOURCEA(id), type);
        if (!found) return {};
        HGLOBAL loaded = ::LoadResource(module_, found);
        const auto* data = static_cast<const unsigned char*>(::LockResource(loaded));
        return std::vector<unsigned char>(data, data + ::SizeofResource(module_, found));
    }
    HMODULE module_ = nullptr;
};

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

std::vector<GroupIconEntry> Entries(const std::vector<unsigned char>& group) {
    std::vector<GroupIconEntry> entries;
    if (group.size() < 6) return entries;
    WORD count;
    std::memcpy(&count, group.data() + 4, 2);
    for (WORD i = 0; i < count && 6 + (i + 1u) * sizeof(GroupIconEntry) <= group.size(); ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof(GroupIconEntry), sizeof entry);
        entries.push_back(entry);
    }
    return entries;
}

TEST_F(Executable, HasTwoDistinctStateIconsWithThePausedOneFirst) {
    const auto paused = Entries(Resource(MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, 1));
    const auto running = Entries(Resource(MAKEINTRESOURCEA(14), 2));
    ASSERT_FALSE(paused.empty());
    ASSERT_FALSE(running.empty());
    auto small256 = [](const std::vector<GroupIconEntry>& entries) -> const GroupIconEntry* {
        for (const auto& e : entries) {
            if (e.width == 16 && e.height == 16 && e.bitCount == 8) return &e;
        }
        return nullptr;
    };
    const GroupIconEntry* p = small256(paused);
    const GroupIconEntry* r = small256(running);
    ASSERT_NE(p, nullptr) << "no 16 x 16 image in 256 colours for Paused";
    ASSERT_NE(r, nullptr) << "no 16 x 16 image in 256 colours for Running";
    const auto pImage = Resource(MAKEINTRESOURCEA(3) /* RT_ICON */, p->id);
    const auto rImage = Resource(MAKEINTRESOURCEA(3), r->id);
    ASSERT_FALSE(pImage.empty());
    EXPECT_NE(pImage, rImage) << "the two states must look different";
}

TEST_F(Executable, ButtonPicturesHaveTheirSizesAndTransparentCorners) {
    struct Picture {
        int id, width, height;
    };
    const Picture pictures[] = {{200, 32, 32}, {201, 48, 48}, {202, 64, 64}, {210, 32, 32}, {211, 48, 48},
                                {212, 64, 64}, {220, 32, 32}, {221, 48, 48}, {222, 64, 64}, {230, 32, 19},
                                {231, 48, 28}, {232, 64, 38}};
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.id);
        const auto dib = Resource(MAKEINTRESOURCEA(2) /* RT_BITMAP */, picture.id);
        ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, dib.data(), sizeof header);
        EXPECT_EQ(header.biWidth, picture.width);
        EXPECT_EQ(header.biHeight, picture.height);
        ASSERT_EQ(header.biBitCount, 8);
        const DWORD colours = header.biClrUsed ? header.biClrUsed : 256;
        const unsigned char* palette = dib.data() + header.biSize;
        const unsigned char* pixels = palette + colours * 4;
        ASSERT_LE(static_cast<std::size_t>(pixels - dib.data()) + static_cast<std::size_t>(picture.width),
                  dib.size());
        // Bottom-up rows: the first byte is the bottom-left pixel.
        const unsigned char* corner = palette + pixels[0] * 4;
        EXPECT_EQ(corner[2], 255);  // red
        EXPECT_EQ(corner[1], 192);  // green
        EXPECT_EQ(corner[0], 255);  // blue
    }
}

TEST_F(Executable, ManifestAsksForCommonControlsSixAndPerMonitorScaling) {
    const auto bytes = Resource(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, 1);
    const std::string manifest(bytes.begin(), bytes.end());
    ASSERT_FALSE(manifest.empty());
    for (const char* needle : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "PerMonitorV2",
                               "true/pm", "asInvoker", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                               "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                               "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
    }
}

TEST(ExecutableFile, CarriesVersionOneAndItsProductName) {
    const std::string path = ExePath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 0);
    char* name = nullptr;
    ASSERT_TRUE(
        ::VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\ProductName", reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, "Tessaly");
}

// The DLL names of the import directory, read from the file itself.
std::vector<std::string> ImportedDlls(const std::string& path) {
    std::vector<std::string> names;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return names;
    std::vector<unsigned char> image(::GetFileSize(file, nullptr));
    DWORD read = 0;
    const BOOL ok = ::ReadFile(file, image.data(), static_cast<DWORD>(image.size()), &read, nullptr);
    ::CloseHandle(file);
    if (!ok || read != image.size() || image.size() < sizeof(IMAGE_DOS_HEADER)) return names;
    auto at = [&](std::size_t offset, std::size_t size) { return offset + size <= image.size(); };
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof dos);
    const std::size_t nt = static_cast<std::size_t>(dos.e_lfanew);
    if (!at(nt, 4 + sizeof(IMAGE_FILE_HEADER))) return names;
    IMAGE_FILE_HEADER header;
    std::memcpy(&header, image.data() + nt + 4, sizeof header);
    const std::size_t optional = nt + 4 + sizeof header;
    WORD magic = 0;
    std::memcpy(&magic, image.data() + optional, 2);
    IMAGE_DATA_DIRECTORY imports{};
    if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_OPTIONAL_HEADER64 oh;
        if (!at(optional, sizeof oh)) return names;
        std::memcpy(&oh, image.data() + optional, sizeof oh);
        imports = oh.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    } else {
        IMAGE_OPTIONAL_HEADER32 oh;
        if (!at(optional, sizeof oh)) return names;
        std::memcpy(&oh, image.data() + optional, sizeof oh);
        imports = oh.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    }
    const std::size_t sections = optional + header.SizeOfOptionalHeader;
    auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < header.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER s;
            if (!at(sections + i * sizeof s, sizeof s)) return 0;
            std::memcpy(&s, image.data() + sections + i * sizeof s, sizeof s);
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return 0;
    };
    for (std::size_t d = fileOffset(imports.VirtualAddress); d && at(d, sizeof(IMAGE_IMPORT_DESCRIPTOR));
         d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, image.data() + d, sizeof descriptor);
        if (descriptor.Name == 0) break;
        const std::size_t name = fileOffset(descriptor.Name);
        std::string dll;
        for (std::size_t i = name; name && i < image.size() && image[i]; ++i) {
            dll.push_back(static_cast<char>(image[i] >= 'A' && image[i] <= 'Z' ? image[i] + 32 : image[i]));
        }
        names.push_back(dll);
    }
    return names;
}

TEST(ExecutableFile, NeedsNoDllBeyondThoseOfTheSystem) {
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",   "gdi32.dll",   "shell32.dll",
                                          "comctl32.dll", "comdlg32.dll", "ole32.dll",   "uxtheme.dll",
                                          "msimg32.dll",  "advapi32.dll", "msvcrt.dll",  "shlwapi.dll"};
    const auto dlls = ImportedDlls(ExePath());
    ASSERT_FALSE(dlls.empty());
    bool kernel = false;
    for (const std::string& dll : dlls) {
        EXPECT_TRUE(system.count(dll)) << dll << " does not come with Windows";
        kernel = kernel || dll == "kernel32.dll";
    }
    EXPECT_TRUE(kernel);
}

}  // namespace

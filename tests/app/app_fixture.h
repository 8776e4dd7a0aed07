// A window on the headless platform, with its program folder in a fresh
// temporary folder and real files for the settings and the composition.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/frmSignature.h"
#include "app/settings_file.h"
#include "headless/headless_platform.h"
#include "platform/fs/fs.h"

namespace tessaly::testing {

using headless::HeadlessPlatform;
using headless::Name;
namespace stdfs = std::filesystem;

// Always the first line and the first file: the tests know what is drawn.
class FirstDraw final : public RandomSource {
public:
    float ReseedAndDraw() override { return 0.0f; }
};

inline std::string Join(const std::string& folder, const std::string& name) {
    return folder + fs::PathSeparator() + name;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The tip text of a record, up to its NUL, and its icon handle.
inline std::string TipOf(const TrayRecordBytes& record) {
    const auto* const tip = reinterpret_cast<const char*>(record.data() + 24);
    return std::string(tip, std::find(tip, tip + 64, '\0'));
}

inline std::uint32_t IconOf(const TrayRecordBytes& record) {
    return static_cast<std::uint32_t>(record[20]) | static_cast<std::uint32_t>(record[21]) << 8 |
           static_cast<std::uint32_t>(record[22]) << 16 | static_cast<std::uint32_t>(record[23]) << 24;
}

inline bool Exists(const std::string& path) { return stdfs::exists(stdfs::path(path)); }

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        const auto name = "tessaly-app-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                          "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
                          std::to_string(counter++);
        path_ = (stdfs::temp_directory_path() / name).string();
        stdfs::remove_all(path_);
        stdfs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        stdfs::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class AppTest : public ::testing::Test {
protected:
    TempFolder folder;  // the program's folder
    HeadlessPlatform platform{folder.Path()};
    FirstDraw random;
    std::unique_ptr<frmSignature> form;

    // The sources of a composition that succeeds, inside the program folder.
    std::string templatePath = Join(folder.Path(), "template.htm");
    std::string signaturePath = Join(folder.Path(), "signature.htm");
    std::string quote1Path = Join(folder.Path(), "q1.txt");
    std::string quote2Path = Join(folder.Path(), "q2.txt");
    std::string html1Path = Join(folder.Path(), "html1");
    std::string html2Path = Join(folder.Path(), "html2");
    // What the composition above writes (the first line, the first file).
    const std::string composed = "Hi First line / <b>one</b>two\r\n";

    std::string SettingsPath() const { return Join(Join(folder.Path(), "data"), "data.sfc"); }

    void MakeSources() {
        WriteBytes(templatePath, "Hi quote1 / htmPath1");
        WriteBytes(quote1Path, "First line\r\n");
        WriteBytes(quote2Path, "Second\r\n");
        stdfs::create_directories(html1Path);
        stdfs::create_directories(html2Path);
        WriteBytes(Join(html1Path, "a.htm"), "<b>one</b>\r\ntwo\r\n");
        WriteBytes(Join(html2Path, "b.htm"), "other");
    }

    SettingsValues Working(std::int16_t flag) const {
        SettingsValues values;
        values.paths = {templatePath, signaturePath, quote1Path, quote2Path, html1Path, html2Path};
        values.autoStart = flag;
        return values;
    }

    // Settings as a file: with a trailing line that no save would write, so
    // that the file shows whether anything has saved over it since.
    void StoreSettings(const SettingsValues& values) {
        stdfs::create_directories(Join(folder.Path(), "data"));
        WriteBytes(SettingsPath(), FormatSettings(values) + "written by the test\r\n");
    }

    bool SavedSinceStored() const {
        const auto bytes = ReadBytes(SettingsPath());
        return bytes.find("written by the test") == std::string::npos;
    }

    void Create() {
        form = std::make_unique<frmSignature>(platform, random);
        platform.Attach(*form);
    }

    // The program starts: the window is created and loaded.
    void Start(std::int16_t flag) {
        MakeSources();
        StoreSettings(Working(flag));
        Create();
        platform.StartProgram();
    }

    // The settings file's lines, without their CR LF.
    std::vector<std::string> SettingsLines() const {
        std::vector<std::string> lines;
        const auto bytes = ReadBytes(SettingsPath());
        std::size_t at = 0;
        while (at < bytes.size()) {
            const auto end = bytes.find("\r\n", at);
            if (end == std::string::npos) {
                lines.push_back(bytes.substr(at));
                break;
            }
            lines.push_back(bytes.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
};

}  // namespace tessaly::testing

// Scratch folders, byte-exact file helpers and a scripted random source for
// the composition tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "compose/compose.h"
#include "platform/fs/fs.h"

namespace tessaly::test {

namespace stdfs = std::filesystem;

// Hands out the values a test asks for, one per draw, and counts the draws.
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom(std::initializer_list<float> values) : values_(values) {}
    float ReseedAndDraw() override {
        ++draws;
        if (values_.empty()) {
            ADD_FAILURE() << "more draws than the test scripted";
            return 0.0f;
        }
        const float r = values_.front();
        values_.pop_front();
        return r;
    }
    int draws = 0;

private:
    std::deque<float> values_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// n lines "line 1", "line 2", ..., each ended by CR LF.
inline std::string NumberedLines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

// A fresh folder for one test, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> serial{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Distinct per test and per run, so parallel test processes never meet.
        root_ = stdfs::temp_directory_path() /
                ("tessaly-" + std::string(info ? info->test_suite_name() : "suite") + "-" +
                 std::string(info ? info->name() : "test") + "-" + std::to_string(serial++) + "-" +
                 std::to_string(std::random_device{}() % 1000000));
        stdfs::remove_all(root_);
        stdfs::create_directories(root_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        stdfs::remove_all(root_, ignored);
    }

    // The path of `name` inside the folder, with the platform's separator.
    std::string Path(const std::string& name = "") const {
        std::string path = root_.string();
        if (!name.empty()) path += fs::PathSeparator() + name;
        return path;
    }
    std::string Write(const std::string& name, const std::string& bytes) const {
        WriteBytes(Path(name), bytes);
        return Path(name);
    }
    std::string Folder(const std::string& name) const {
        stdfs::create_directories(Path(name));
        return Path(name);
    }
    // Every entry's name in the folder `name`, hidden ones included.
    std::set<std::string> Entries(const std::string& name = "") const {
        std::set<std::string> names;
        for (const auto& entry : stdfs::directory_iterator(Path(name))) names.insert(entry.path().filename().string());
        return names;
    }

private:
    stdfs::path root_;
};

}  // namespace tessaly::test

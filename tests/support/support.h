// What every suite needs: a scratch folder, a file's bytes, and draws that
// a test scripts.
#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/compose.h"

namespace tessaly::test {

namespace stdfs = std::filesystem;

// A file's bytes, or nothing when it cannot be opened. On Windows the file is
// opened sharing everything, so that reading never stops the program from
// replacing it.
inline std::optional<std::string> ReadBytes(const std::string& path) {
#ifdef _WIN32
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
#else
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
#endif
}

// Replaces a file's bytes; retried for two seconds while another program
// (the one under test) holds the file.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (out && out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush()) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("cannot write " + path);
}

// A fresh folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() : root_(stdfs::temp_directory_path() / ("tessaly-test-" + std::to_string(std::random_device{}()))) {
        stdfs::create_directories(root_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        stdfs::remove_all(root_, ignored);
    }

    // A path inside the folder, "/" written as the platform's separator.
    std::string Path(const std::string& relative = "") const {
        return relative.empty() ? root_.string() : (root_ / stdfs::path(relative).make_preferred()).string();
    }
    // Writes a file, making the folders on its way; returns its path.
    std::string Write(const std::string& relative, const std::string& bytes) const {
        stdfs::create_directories(stdfs::path(Path(relative)).parent_path());
        WriteBytes(Path(relative), bytes);
        return Path(relative);
    }
    // The names in a folder, hidden ones included.
    std::set<std::string> Entries(const std::string& relative = "") const {
        std::set<std::string> names;
        for (const auto& entry : stdfs::directory_iterator(Path(relative))) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

private:
    stdfs::path root_;
};

// Draws that a test scripts, one value a draw; with none left, 0: the first
// line, the first file.
struct ScriptedDraws final : RandomSource {
    ScriptedDraws(std::initializer_list<float> values = {}) : left(values) {}
    float ReseedAndDraw() override {
        if (left.empty()) return 0.0f;
        const float r = left.front();
        left.pop_front();
        return r;
    }
    std::deque<float> left;
};

}  // namespace tessaly::test

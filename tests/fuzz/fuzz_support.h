// Shared by the fuzz targets: the in-memory disk behind mem_fs.cpp, draws fed
// from the fuzzer's bytes, and the line rules written out as the reference.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "core/compose.h"

namespace tessaly::fuzz {

struct MemDisk {
    std::map<std::string, std::string> files;  // path -> content
    std::set<std::string> folders;
    bool failWrites = false;
};
MemDisk& Disk();

inline void Require(bool holds, const char* property) {
    if (!holds) std::fprintf(stderr, "property broken: %s\n", property), std::abort();
}

// Draws are taken from the bytes up front, apart from the files' bytes. Odd
// ones may be any float in [0, 1); even ones lie on the 2^-24 grid, whose top
// is the largest float below 1. The first `used` of them were handed out.
struct BytesRandom final : RandomSource {
    BytesRandom(FuzzedDataProvider& in, std::size_t count) {
        for (std::uint32_t bits; draws.size() < count;) {
            const std::uint32_t below1 = ((bits = in.ConsumeIntegral<std::uint32_t>()) >> 1) % 0x3F800000u;
            draws.push_back(bits & 1 ? std::bit_cast<float>(below1) : static_cast<float>(bits >> 8) * 0x1p-24f);
        }
    }
    float ReseedAndDraw() override {
        Require(used < draws.size(), "at most one draw per source");
        return draws[used++];
    }
    std::vector<float> draws;
    std::size_t used = 0;
};

// A line ends at CR or CR LF, a lone LF belongs to its line, and a
// terminator at the very end opens no further line.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\r', from), text.size());
        lines.push_back(text.substr(from, end - from));
        from = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

constexpr std::size_t kMaxLines = 32767;

}  // namespace tessaly::fuzz

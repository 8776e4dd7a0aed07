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

// Under the Windows rule a line ends at CR or CR LF and a lone LF belongs to
// its line; under the Linux rule LF ends a line too. A line break at the very
// end opens no further line.
inline std::vector<std::string> Lines(const std::string& text, LineEnds rule = LineEnds::Windows) {
    const char* breaks = rule == LineEnds::Windows ? "\r" : "\r\n";
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find_first_of(breaks, from), text.size());
        lines.push_back(text.substr(from, end - from));
        from = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// A fragment as it is inserted: its lines run together (Windows) or joined
// by LF (Linux).
inline std::string Fragment(const std::vector<std::string>& lines, LineEnds rule) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i > 0 && rule == LineEnds::Linux ? "\n" : "") + lines[i];
    return joined;
}

// What the bytes above 127 of a text are: none, well-formed UTF-8 (no
// overlong forms, surrogates or values above U+10FFFF), or anything else.
enum class Bytes { Ascii, Utf8, Other };
inline Bytes Classify(std::string_view s) {
    Bytes found = Bytes::Ascii;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return Bytes::Other;
        const auto second = static_cast<unsigned char>(s[i + 1]);
        const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        if (second < low || second > high) return Bytes::Other;
        for (std::size_t k = 2; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return Bytes::Other;
        found = Bytes::Utf8;
        i += n;
    }
    return found;
}

// Whether the text begins with a byte-order mark of UTF-8 or UTF-16.
inline bool Marked(std::string_view s) {
    return s.starts_with("\xEF\xBB\xBF") || s.starts_with("\xFF\xFE") || s.starts_with("\xFE\xFF");
}

}  // namespace tessaly::fuzz

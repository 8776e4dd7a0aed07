#include "compose/compose.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/fs/fs.h"

namespace tessaly {

namespace {

// Counts, positions and line numbers of a composition are 16-bit signed.
constexpr int kLimit = 32767;

std::uint64_t Mix64(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t ClockBits() {
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    return Mix64(static_cast<std::uint64_t>(wall)) ^ static_cast<std::uint64_t>(steady);
}

// The lines of `rest`: a line ends at CR or CR LF, a lone LF is part of the
// line, and a terminator at the very end opens no further line. Stops after
// kLimit + 1 lines, since more than kLimit is already too many.
std::vector<std::string_view> SplitLines(std::string_view rest) {
    std::vector<std::string_view> lines;
    while (!rest.empty() && lines.size() <= static_cast<std::size_t>(kLimit)) {
        const void* cr = std::memchr(rest.data(), '\r', rest.size());
        if (cr == nullptr) {
            lines.push_back(rest);
            break;
        }
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(cr) - rest.data());
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + (end + 1 < rest.size() && rest[end + 1] == '\n' ? 2 : 1));
    }
    return lines;
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The 1-based position of the first occurrence of `word` ignoring letter
// case, 0 when absent.
std::size_t FindIgnoringCase(std::string_view text, std::string_view word) {
    const auto hit = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                 [](char a, char b) { return FoldCase(a) == FoldCase(b); });
    return hit == text.end() ? 0 : static_cast<std::size_t>(hit - text.begin()) + 1;
}

// Replaces every exact-case occurrence of `word`, left to right, without
// looking again at the text just inserted.
void ReplaceAll(std::string& text, std::string_view word, std::string_view replacement) {
    std::size_t at = text.find(word);
    if (at == std::string::npos) return;
    std::string result;
    result.reserve(text.size() + replacement.size());
    std::size_t from = 0;
    for (; at != std::string::npos; at = text.find(word, from)) {
        result.append(text, from, at - from);
        result.append(replacement);
        from = at + word.size();
    }
    result.append(text, from, std::string::npos);
    text = std::move(result);
}

}  // namespace

TimeOfDayRandom::TimeOfDayRandom() : state_(Mix64(ClockBits() ^ reinterpret_cast<std::uintptr_t>(this))) {}

float TimeOfDayRandom::ReseedAndDraw() {
    // The clock is folded into the running state rather than replacing it, so
    // two draws within one clock tick still move the sequence on.
    state_ ^= Mix64(ClockBits());
    state_ += 0x9E3779B97F4A7C15ull;
    // 24 bits fill a float's mantissa exactly, so r never rounds up to 1.
    return static_cast<float>(Mix64(state_) >> 40) * 0x1p-24f;
}

int DrawIndex(float r, int n) {
    const float product = r * static_cast<float>(n);
    // The comparison also sends a NaN to 0.
    if (!(product >= 0.0f)) return 0;
    const float index = std::floor(product);
    return index >= static_cast<float>(n) ? n - 1 : static_cast<int>(index);
}

std::optional<std::string> ReadRandomLine(const std::string& path, RandomSource& random) {
    std::string text;
    if (!fs::ReadWholeFile(path, text)) return std::nullopt;
    // One pass over the text, where counting and then reading up to the
    // drawn line would take one and a half.
    const std::vector<std::string_view> lines = SplitLines(text);
    const int n = static_cast<int>(lines.size());
    if (n == 0 || n > kLimit) return std::nullopt;
    return std::string(lines[static_cast<std::size_t>(DrawIndex(random.ReseedAndDraw(), n))]);
}

std::optional<std::string> ReadRandomFile(const std::string& folder, RandomSource& random) {
    std::vector<std::string> names;
    if (!fs::ListPlainFiles(folder, names)) return std::nullopt;
    const int n = static_cast<int>(std::min<std::size_t>(names.size(), kLimit + 1));
    if (n == 0 || n > kLimit) return std::nullopt;
    // The listing comes in whatever order the system keeps; ordering by name
    // makes a draw name the same file on every system.
    const auto chosen = names.begin() + DrawIndex(random.ReseedAndDraw(), n);
    std::nth_element(names.begin(), chosen, names.end());

    std::string text;
    if (!fs::ReadWholeFile(fs::JoinPath(folder, {*chosen}), text)) return std::nullopt;
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() > static_cast<std::size_t>(kLimit)) return std::nullopt;
    std::string joined;
    joined.reserve(text.size());
    for (const std::string_view line : lines) joined.append(line);
    return joined;
}

std::optional<std::string> ComposeText(const ComposePaths& paths, RandomSource& random) {
    std::string text;
    // A template that an editor is just saving can be empty for a moment;
    // composing from it would replace a good signature by an empty one.
    if (!fs::ReadWholeFile(paths.templatePath, text) || text.empty()) return std::nullopt;

    struct Placeholder {
        std::string_view word;
        const std::string& source;
        bool isFolder;
    };
    const std::array<Placeholder, 4> table{{
        {"quote1", paths.quote1, false},
        {"quote2", paths.quote2, false},
        {"htmPath1", paths.htmPath1, true},
        {"htmPath2", paths.htmPath2, true},
    }};

    // Presence is decided on the template as read, before any replacement.
    std::array<bool, 4> present{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::size_t position = FindIgnoringCase(text, table[i].word);
        if (position > static_cast<std::size_t>(kLimit)) return std::nullopt;
        present[i] = position != 0;
    }

    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!present[i]) continue;
        const Placeholder& p = table[i];
        const std::optional<std::string> replacement =
            p.isFolder ? ReadRandomFile(p.source, random) : ReadRandomLine(p.source, random);
        if (!replacement) return std::nullopt;
        ReplaceAll(text, p.word, *replacement);
    }
    return text;
}

bool ComposeSignature(const ComposePaths& paths, RandomSource& random) {
    std::optional<std::string> text = ComposeText(paths, random);
    if (!text) return false;
    *text += "\r\n";
    return fs::ReplaceFileAtomically(paths.signaturePath, *text);
}

}  // namespace tessaly

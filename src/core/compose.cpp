#include "core/compose.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include "core/fs.h"

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

namespace {

// Fills `failure`, when there is one to fill, and gives up the draw.
std::nullopt_t Fail(ComposeResult* failure, const std::string& path, std::string reason) {
    if (failure != nullptr) {
        failure->path = path;
        failure->reason = std::move(reason);
    }
    return std::nullopt;
}

constexpr const char* kTooManyLines = "more than 32,767 lines";

}  // namespace

const char* RoleName(PathRole role) {
    switch (role) {
        case PathRole::Template: return "template";
        case PathRole::Signature: return "signature file";
        case PathRole::Quote1: return "quote file 1";
        case PathRole::Quote2: return "quote file 2";
        case PathRole::Html1: return "HTML folder 1";
        case PathRole::Html2: return "HTML folder 2";
        case PathRole::None: break;
    }
    return "";
}

std::optional<std::string> ReadRandomLine(const std::string& path, RandomSource& random, ComposeResult* failure) {
    std::string text;
    if (const fs::Result read = fs::ReadWholeFile(path, text); !read) return Fail(failure, path, fs::Reason(read));
    // One pass over the text, where counting and then reading up to the
    // drawn line would take one and a half.
    const std::vector<std::string_view> lines = SplitLines(text);
    const int n = static_cast<int>(lines.size());
    if (n == 0) return Fail(failure, path, "empty file");
    if (n > kLimit) return Fail(failure, path, kTooManyLines);
    return std::string(lines[static_cast<std::size_t>(DrawIndex(random.ReseedAndDraw(), n))]);
}

std::optional<std::string> ReadRandomFile(const std::string& folder, RandomSource& random, ComposeResult* failure) {
    std::vector<std::string> names;
    if (const fs::Result listed = fs::ListPlainFiles(folder, names); !listed) {
        return Fail(failure, folder, fs::Reason(listed));
    }
    const int n = static_cast<int>(std::min<std::size_t>(names.size(), kLimit + 1));
    if (n == 0) return Fail(failure, folder, "no files in the folder");
    if (n > kLimit) return Fail(failure, folder, "more than 32,767 files");
    // The listing comes in whatever order the system keeps; ordering by name
    // makes a draw name the same file on every system.
    const auto chosen = names.begin() + DrawIndex(random.ReseedAndDraw(), n);
    std::nth_element(names.begin(), chosen, names.end());

    const std::string path = fs::JoinPath(folder, {*chosen});
    std::string text;
    if (const fs::Result read = fs::ReadWholeFile(path, text); !read) return Fail(failure, path, fs::Reason(read));
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() > static_cast<std::size_t>(kLimit)) return Fail(failure, path, kTooManyLines);
    std::string joined;
    joined.reserve(text.size());
    for (const std::string_view line : lines) joined.append(line);
    return joined;
}

std::optional<std::string> ComposeText(const ComposePaths& paths, RandomSource& random, ComposeResult* failure) {
    ComposeResult result;
    // The step under way, so that any failure names its path.
    PathRole step = PathRole::Template;
    const auto fail = [&](const std::string& path, std::string reason) -> std::optional<std::string> {
        result.role = step;
        result.path = path;
        result.reason = std::move(reason);
        if (failure) *failure = std::move(result);
        return std::nullopt;
    };
    try {
        std::string text;
        // A template that an editor is just saving can be empty for a moment;
        // composing from it would replace a good signature by an empty one.
        if (const fs::Result read = fs::ReadWholeFile(paths.templatePath, text); !read) {
            return fail(paths.templatePath, fs::Reason(read));
        }
        if (text.empty()) return fail(paths.templatePath, "empty file");

        struct Placeholder {
            std::string_view word;
            const std::string& source;
            PathRole role;
        };
        const std::array<Placeholder, 4> table{{
            {"quote1", paths.quote1, PathRole::Quote1},
            {"quote2", paths.quote2, PathRole::Quote2},
            {"htmPath1", paths.htmPath1, PathRole::Html1},
            {"htmPath2", paths.htmPath2, PathRole::Html2},
        }};

        // Presence is decided on the template as read, before any replacement.
        std::array<bool, 4> present{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            const std::size_t position = FindIgnoringCase(text, table[i].word);
            if (position > static_cast<std::size_t>(kLimit)) {
                return fail(paths.templatePath,
                            std::string(table[i].word) + " first appears after the 32,767th character");
            }
            present[i] = position != 0;
        }

        for (std::size_t i = 0; i < table.size(); ++i) {
            if (!present[i]) continue;
            const Placeholder& p = table[i];
            step = p.role;
            const bool folder = p.role == PathRole::Html1 || p.role == PathRole::Html2;
            ComposeResult drawn;
            const std::optional<std::string> replacement =
                folder ? ReadRandomFile(p.source, random, &drawn) : ReadRandomLine(p.source, random, &drawn);
            if (!replacement) return fail(drawn.path, drawn.reason);
            ReplaceAll(text, p.word, *replacement);
        }
        return text;
    } catch (const std::exception&) {
        // Out of memory on a huge source: a failed composition like any other.
        const std::array<const std::string*, 7> byRole{nullptr,        &paths.templatePath, &paths.signaturePath,
                                                       &paths.quote1, &paths.quote2,       &paths.htmPath1,
                                                       &paths.htmPath2};
        return fail(*byRole[static_cast<std::size_t>(step)], "out of memory");
    }
}

ComposeResult ComposeSignature(const ComposePaths& paths, RandomSource& random) {
    ComposeResult result;
    try {
        std::optional<std::string> text = ComposeText(paths, random, &result);
        if (!text) return result;
        *text += "\r\n";
        if (const fs::Result written = fs::ReplaceFileAtomically(paths.signaturePath, *text); !written) {
            result.reason = fs::Reason(written);
            result.path = paths.signaturePath;
            result.role = PathRole::Signature;
        }
    } catch (const std::exception&) {
        result.role = PathRole::Signature;
        result.path = paths.signaturePath;
        result.reason = "out of memory";
    }
    return result;
}

}  // namespace tessaly

#include "core/compose.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
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

// The lines of `rest` under `rule`; a line break at the very end opens no
// further line. Stops after kLimit + 1 lines, since more than kLimit is
// already too many.
std::vector<std::string_view> SplitLines(std::string_view text, LineEnds rule) {
    std::vector<std::string_view> lines;
    LineSplitter splitter(text, rule);
    std::string_view line;
    while (lines.size() <= static_cast<std::size_t>(kLimit) && splitter.Next(line)) lines.push_back(line);
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

namespace {

// The source file's text as the rules want it, or why it cannot be read.
fs::Result ReadSource(const std::string& path, const SourceRules& rules, std::string& text) {
    const fs::Result read = fs::ReadWholeFile(path, text);
    if (read) text = text::ConvertSource(std::move(text), rules.encoding, rules.html);
    return read;
}

}  // namespace

std::optional<std::string> ReadRandomLine(const std::string& path, RandomSource& random, ComposeResult* failure,
                                          const SourceRules& rules) {
    std::string text;
    if (const fs::Result read = ReadSource(path, rules, text); !read) return Fail(failure, path, fs::Reason(read));
    // One pass over the text, where counting and then reading up to the
    // drawn line would take one and a half.
    const std::vector<std::string_view> lines = SplitLines(text, rules.lineEnds);
    const int n = static_cast<int>(lines.size());
    if (n == 0) return Fail(failure, path, "empty file");
    if (n > kLimit) return Fail(failure, path, kTooManyLines);
    return std::string(lines[static_cast<std::size_t>(DrawIndex(random.ReseedAndDraw(), n))]);
}

std::optional<std::string> ReadRandomFile(const std::string& folder, RandomSource& random, ComposeResult* failure,
                                          const SourceRules& rules) {
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
    if (const fs::Result read = ReadSource(path, rules, text); !read) return Fail(failure, path, fs::Reason(read));
    const std::vector<std::string_view> lines = SplitLines(text, rules.lineEnds);
    if (lines.size() > static_cast<std::size_t>(kLimit)) return Fail(failure, path, kTooManyLines);
    const std::string_view joint = rules.lineEnds == LineEnds::Windows ? "" : "\n";
    std::string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined.append(joint);
        joined.append(lines[i]);
    }
    return joined;
}

namespace {

// The four placeholders, in the order they are replaced.
constexpr std::array<std::string_view, 4> kWords{"quote1", "quote2", "htmPath1", "htmPath2"};
constexpr std::array<PathRole, 4> kWordRoles{PathRole::Quote1, PathRole::Quote2, PathRole::Html1, PathRole::Html2};

struct Composition {
    std::string text;  // in the template's encoding, UTF-8 for a UTF-16 template
    text::TemplateEncoding encoding;
};

std::optional<Composition> Compose(const ComposePaths& paths, RandomSource& random, ComposeResult* failure,
                                   LineEnds lineEnds) {
    ComposeResult result;
    // The step under way, so that any failure names its path.
    PathRole step = PathRole::Template;
    const auto fail = [&](const std::string& path, std::string reason) -> std::optional<Composition> {
        result.role = step;
        result.path = path;
        result.reason = std::move(reason);
        if (failure) *failure = std::move(result);
        return std::nullopt;
    };
    const std::array<const std::string*, 4> sources{&paths.quote1, &paths.quote2, &paths.htmPath1, &paths.htmPath2};
    try {
        Composition composed;
        std::string& text = composed.text;
        // A template that an editor is just saving can be empty for a moment;
        // composing from it would replace a good signature by an empty one.
        if (const fs::Result read = fs::ReadWholeFile(paths.templatePath, text); !read) {
            return fail(paths.templatePath, fs::Reason(read));
        }
        if (text.empty()) return fail(paths.templatePath, "empty file");

        // The sources are converted to the template's encoding; a UTF-16
        // template is composed as UTF-8 and turned back when written.
        composed.encoding = text::DetectTemplate(text, paths.templatePath);
        SourceRules rules{composed.encoding.encoding, composed.encoding.html, lineEnds};
        const text::Encoding encoding = composed.encoding.encoding;
        if (encoding == text::Encoding::Utf16LE || encoding == text::Encoding::Utf16BE) {
            text = text::Utf16ToUtf8(std::string_view(text).substr(2), encoding == text::Encoding::Utf16BE);
            rules.encoding = text::Encoding::Utf8;
        }

        // Presence is decided on the template as read, before any replacement.
        std::array<bool, 4> present{};
        for (std::size_t i = 0; i < kWords.size(); ++i) {
            const std::size_t position = FindIgnoringCase(text, kWords[i]);
            if (position > static_cast<std::size_t>(kLimit)) {
                return fail(paths.templatePath,
                            std::string(kWords[i]) + " first appears after the 32,767th character");
            }
            present[i] = position != 0;
        }

        for (std::size_t i = 0; i < kWords.size(); ++i) {
            if (!present[i]) continue;
            step = kWordRoles[i];
            const bool folder = step == PathRole::Html1 || step == PathRole::Html2;
            ComposeResult drawn;
            const std::optional<std::string> replacement = folder ? ReadRandomFile(*sources[i], random, &drawn, rules)
                                                                  : ReadRandomLine(*sources[i], random, &drawn, rules);
            if (!replacement) return fail(drawn.path, drawn.reason);
            ReplaceAll(text, kWords[i], *replacement);
        }
        return composed;
    } catch (const std::exception&) {
        // Out of memory on a huge source: a failed composition like any other.
        return fail(step == PathRole::Template ? paths.templatePath : *sources[static_cast<std::size_t>(step) - 3],
                    "out of memory");
    }
}

// Why writing the signature would overwrite one of its own sources, or
// nothing when it would not. Every source the user named counts, whether or
// not the template draws from it today: the user's own file would be lost,
// and a signature in an HTML folder would later be drawn as a fragment.
std::optional<std::string> OverwritesASource(const ComposePaths& paths) {
    const std::string& signature = paths.signaturePath;
    for (const auto& [source, role] : {std::pair{&paths.templatePath, PathRole::Template},
                                       std::pair{&paths.quote1, PathRole::Quote1},
                                       std::pair{&paths.quote2, PathRole::Quote2}}) {
        if (fs::SameFile(signature, *source)) {
            return std::string("the same file as ") + (role == PathRole::Template ? "the " : "") + RoleName(role);
        }
    }
    for (const auto& [folder, role] : {std::pair{&paths.htmPath1, PathRole::Html1},
                                       std::pair{&paths.htmPath2, PathRole::Html2}}) {
        if (fs::LiesInside(signature, *folder)) return std::string("inside ") + RoleName(role);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ComposeText(const ComposePaths& paths, RandomSource& random, ComposeResult* failure,
                                       LineEnds lineEnds) {
    std::optional<Composition> composed = Compose(paths, random, failure, lineEnds);
    if (!composed) return std::nullopt;
    return std::move(composed->text);
}

ComposeResult ComposeSignature(const ComposePaths& paths, RandomSource& random, LineEnds lineEnds) {
    ComposeResult result;
    const auto fail = [&](std::string reason) {
        result.role = PathRole::Signature;
        result.path = paths.signaturePath;
        result.reason = std::move(reason);
        return result;
    };
    try {
        std::optional<Composition> composed = Compose(paths, random, &result, lineEnds);
        if (!composed) return result;
        if (std::optional<std::string> clash = OverwritesASource(paths)) return fail(*clash);
        std::string& text = composed->text;
        text += LineBreak(lineEnds);
        const text::Encoding encoding = composed->encoding.encoding;
        if (encoding == text::Encoding::Utf16LE || encoding == text::Encoding::Utf16BE) {
            const bool bigEndian = encoding == text::Encoding::Utf16BE;
            text = std::string(bigEndian ? text::kUtf16BEBom : text::kUtf16LEBom) + text::Utf8ToUtf16(text, bigEndian);
        }
        if (const fs::Result written = fs::ReplaceFileAtomically(paths.signaturePath, text); !written) {
            return fail(fs::Reason(written));
        }
    } catch (const std::exception&) {
        return fail("out of memory");
    }
    return result;
}

}  // namespace tessaly

// Composing the signature file from the template and its four sources.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/line_ends.h"
#include "core/text_encoding.h"

namespace tessaly {

// A uniform generator that is re-seeded from the time of day before every
// draw. Re-seeding mixes the time into the current state, so two draws within
// the same clock tick still differ.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Re-seeds from the time of day, then returns one single-precision value
    // r with 0 <= r < 1.
    virtual float ReseedAndDraw() = 0;
};

// The real generator: the time of day comes from the system clock.
class TimeOfDayRandom final : public RandomSource {
public:
    TimeOfDayRandom();
    float ReseedAndDraw() override;

private:
    std::uint64_t state_;
};

// Maps a draw onto a list of n entries: the 0-based index floor(r * n) with
// n converted to single precision, kept inside 0..n-1 even where single
// precision rounds r * n up to n. n must be at least 1.
int DrawIndex(float r, int n);

// Which of the six paths a failed composition concerns.
enum class PathRole { None, Template, Signature, Quote1, Quote2, Html1, Html2 };

// What the path is, in words: "quote file 1", "HTML folder 2".
const char* RoleName(PathRole role);

// What one composition came to: success, or which path failed and why.
struct ComposeResult {
    PathRole role = PathRole::None;
    std::string path;    // the file or folder that failed (a folder's drawn file, when that one failed)
    std::string reason;  // why, in words: "not found", "held by another program", "empty file", ...
    explicit operator bool() const noexcept { return role == PathRole::None; }
};

// How a source file's bytes become the text that replaces a placeholder:
// converted to the template's encoding (see text::ConvertSource), then cut
// into lines by the line rule.
struct SourceRules {
    text::Encoding encoding = text::Encoding::AsIs;  // AsIs, Windows1252 or Utf8
    bool html = false;                               // see text::TemplateEncoding
    LineEnds lineEnds = kPlatformLineEnds;
};

// One line drawn from a quote file (without its line break), or nothing when
// the file cannot be read, is empty, or has more than 32,767 lines; then
// `failure`, when given, receives the path and the reason.
std::optional<std::string> ReadRandomLine(const std::string& path, RandomSource& random,
                                          ComposeResult* failure = nullptr, const SourceRules& rules = {});

// The content of one file drawn from `folder`, or nothing when the folder
// lists no file, the file cannot be read or it has more than 32,767 lines;
// then `failure`, when given, receives the path and the reason. Under the
// Windows line rule the file's lines run together without their line
// breaks; under the Linux rule they are joined by LF, so that words never
// run together and the last line break does not reach the signature. The
// file's path is the folder text exactly as given, the platform's separator,
// and the file's name (so a folder text that already ends in a separator
// gives a doubled one).
std::optional<std::string> ReadRandomFile(const std::string& folder, RandomSource& random,
                                          ComposeResult* failure = nullptr, const SourceRules& rules = {});

// The six paths that one composition works with, as the window's fields hold
// them at the moment the composition starts.
struct ComposePaths {
    std::string templatePath;   // txtTemplate
    std::string signaturePath;  // txtSignature
    std::string quote1;         // txtQF1: source of "quote1"
    std::string quote2;         // txtQF2: source of "quote2"
    std::string htmPath1;       // txtQF3: source of "htmPath1"
    std::string htmPath2;       // txtQF4: source of "htmPath2"
};

// Reads the template and replaces the placeholders: the signature text
// without its closing line break, or nothing when a step fails; then
// `failure`, when given, names the path and the reason. The text is in the
// template's encoding, the sources' text converted to it; for a UTF-16
// template it is UTF-8 (without a byte-order mark), the form a program
// reading it from a pipe can use. Never throws.
std::optional<std::string> ComposeText(const ComposePaths& paths, RandomSource& random,
                                       ComposeResult* failure = nullptr, LineEnds lineEnds = kPlatformLineEnds);

// Composes as above and replaces the signature file with the result followed
// by the rule's line break (CR LF on Windows, LF on Linux), all in the
// template's encoding. On failure the result names the path and the reason,
// the signature file is left exactly as it was and no file stays open. A
// template of zero length fails (an editor may be saving it at that moment),
// and so does a placeholder whose first occurrence, found ignoring letter
// case, lies beyond the 32,767th byte. So does a signature path that leads
// to the template or either quote file, or into either HTML folder, however
// it is written: the signature would overwrite its own sources. The
// signature is replaced atomically: a mail client reading it sees the old or
// the new text whole. Never throws.
ComposeResult ComposeSignature(const ComposePaths& paths, RandomSource& random,
                               LineEnds lineEnds = kPlatformLineEnds);

}  // namespace tessaly

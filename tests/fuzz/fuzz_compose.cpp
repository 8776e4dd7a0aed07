// Any template, quote files and fragments, under either line rule: a
// composition writes the template with each placeholder replaced by a line
// or fragment of its source in the template's encoding, and the rule's
// closing line break; files of one encoding pass byte for byte. Or it fails,
// exactly when a file it needs is missing or empty, a placeholder lies too
// far in, the signature would overwrite a source or land in an HTML folder,
// or the write fails, and then no file changes.
#include <array>
#include <numeric>

#include "core/text_encoding.h"
#include "fuzz_support.h"

using namespace tessaly;
using fuzz::Require;

static constexpr std::array<std::string_view, 4> kWords{"quote1", "quote2", "htmPath1", "htmPath2"};
static const ComposePaths kPaths{"template.htm", "signature.htm", "q1.txt", "q2.txt", "html1", "html2"};
static const std::array<std::string, 4> kSources{kPaths.quote1, kPaths.quote2, kPaths.htmPath1, kPaths.htmPath2};
// Where the signature goes: beside the sources, or over one of them.
static const std::array<std::string, 8> kSignatures{kPaths.signaturePath, kPaths.signaturePath, kPaths.signaturePath,
                                                    kPaths.signaturePath, kPaths.templatePath, kPaths.quote1,
                                                    kPaths.quote2,        kPaths.htmPath1 + "/signature.htm"};

static std::string Lower(std::string text) {
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

static std::string ReplaceAll(const std::string& text, std::string_view word, const std::string& by) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(word, from)) != std::string::npos; from = at + word.size())
        out.append(text, from, at - from).append(by);
    return out.append(text, from);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 32000) return 0;  // keeps every file below the line limit
    // Flags, low bit first: the template and each source missing (5 bits),
    // files in each folder (2 x 2 bits, 0 meaning 3), writes failing, no
    // previous signature, the Linux line rule, and where the signature goes
    // (3 bits).
    FuzzedDataProvider in(data, size);
    const auto flags = in.ConsumeIntegral<std::uint16_t>();
    fuzz::BytesRandom random(in, 4);
    fuzz::MemDisk& disk = fuzz::Disk() = {};
    const auto put = [&](int bit, const std::string& path, std::string text) {
        if (!(flags >> bit & 1)) disk.files[path] = std::move(text);
    };
    std::string templ = in.ConsumeRandomLengthString();
    // Now and then the template is pushed past 32,767 bytes; chosen by the
    // input's length, so mutants of such an input are seldom as slow.
    if (size % 64 == 63) templ.insert(0, 32760, '.');
    put(0, kPaths.templatePath, templ);
    for (int i = 0; i < 4; ++i) {
        if (i >= 2 && !(flags >> (i + 1) & 1)) disk.folders.insert(kSources[i]);
        for (int n = 0, files = i < 2 ? 1 : (flags >> (1 + 2 * i) & 3) ^ 3; n < files; ++n)
            put(i + 1, i < 2 ? kSources[i] : kSources[i] + "/" + std::to_string(n), in.ConsumeRandomLengthString());
    }
    disk.failWrites = flags >> 9 & 1;
    const LineEnds rule = flags >> 11 & 1 ? LineEnds::Linux : LineEnds::Windows;
    ComposePaths paths = kPaths;
    paths.signaturePath = kSignatures[flags >> 12 & 7];
    if (paths.signaturePath == kPaths.signaturePath) put(10, paths.signaturePath, "previous signature\r\n");
    auto before = disk.files;
    const ComposeResult result = ComposeSignature(paths, random, rule);
    const bool composed = static_cast<bool>(result);
    // A failure always says which path and why.
    Require(composed || (!result.path.empty() && !result.reason.empty()), "a failure names its path and reason");

    // The template's text and its sources' in the template's encoding. Where
    // no file has a byte-order mark, the template declares no charset and
    // the files above ASCII are all UTF-8 or all not, that is their bytes.
    const text::TemplateEncoding encoding = text::DetectTemplate(templ, kPaths.templatePath);
    const bool utf16 = encoding.encoding == text::Encoding::Utf16LE || encoding.encoding == text::Encoding::Utf16BE;
    const bool bigEndian = encoding.encoding == text::Encoding::Utf16BE;
    const text::Encoding working = utf16 ? text::Encoding::Utf8 : encoding.encoding;
    const fuzz::Bytes templateBytes = fuzz::Classify(templ);
    bool oneEncoding = !fuzz::Marked(templ) && Lower(templ).find("charset") == std::string::npos;
    for (const auto& [path, content] : before) {
        const fuzz::Bytes bytes = fuzz::Classify(content);
        if (path == kPaths.templatePath) continue;
        oneEncoding &= !fuzz::Marked(content) &&
                       (templateBytes == fuzz::Bytes::Ascii || bytes == fuzz::Bytes::Ascii || bytes == templateBytes);
    }
    const auto inTemplateEncoding = [&](const std::string& source) {
        return oneEncoding ? source : text::ConvertSource(source, working, encoding.html);
    };
    const std::string templateText = utf16 ? text::Utf16ToUtf8(std::string_view(templ).substr(2), bigEndian) : templ;

    // Whether the files give a reason to fail, and every text they allow:
    // a quote's line is the one its draw names; any fragment may be drawn.
    bool fails = !before.contains(kPaths.templatePath) || templ.empty() || disk.failWrites;
    fails |= (flags >> 12 & 7) >= 4 && (paths.signaturePath.starts_with(kPaths.htmPath1 + "/")
                                            ? disk.folders.contains(kPaths.htmPath1)
                                            : before.contains(paths.signaturePath));
    std::vector<std::string> allowed{templateText};
    const std::string lower = Lower(templateText);
    for (std::size_t i = 0, draw = 0, at; i < 4; ++i) {
        if ((at = lower.find(Lower(std::string(kWords[i])))) == std::string::npos) continue;
        bool usable = false;
        std::vector<std::string> texts;
        for (auto f = before.lower_bound(kSources[i]); f != before.end() && f->first.starts_with(kSources[i]); ++f) {
            const std::vector<std::string> lines = fuzz::Lines(inTemplateEncoding(f->second), rule);
            usable = i >= 2 || !lines.empty();
            if (i >= 2) texts.push_back(fuzz::Fragment(lines, rule));
            else if (usable && draw < random.used)
                texts.push_back(lines[static_cast<std::size_t>(DrawIndex(random.draws[draw], static_cast<int>(lines.size())))]);
        }
        fails |= !usable || at >= 32767;
        ++draw;
        std::vector<std::string> next;
        for (const std::string& text : composed ? allowed : std::vector<std::string>{})
            for (const std::string& by : texts) next.push_back(ReplaceAll(text, kWords[i], by));
        allowed = std::move(next);
    }
    if (!composed) {
        Require(fails, "a composition fails only for a reason its files give");
        Require(disk.files == before, "a failed composition changes no file");
        return 0;
    }
    Require(!fails, "a composition with a reason to fail does not succeed");
    const std::string signature = disk.files[paths.signaturePath];
    disk.files.erase(paths.signaturePath);
    before.erase(paths.signaturePath);
    Require(disk.files == before, "a composition writes only the signature");
    // Each allowed text with the rule's closing line break, in UTF-16 with
    // its mark for a UTF-16 template.
    const std::string_view mark = bigEndian ? text::kUtf16BEBom : text::kUtf16LEBom;
    const bool allowedSignature = std::any_of(allowed.begin(), allowed.end(), [&](const std::string& text) {
        const std::string closed = text + std::string(LineBreak(rule));
        return signature == (utf16 ? std::string(mark) + text::Utf8ToUtf16(closed, bigEndian) : closed);
    });
    Require(allowedSignature, "the signature is the template with each placeholder replaced by a draw of its source, "
                              "and the rule's closing line break, in the template's encoding");
    return 0;
}

// Any bytes as a source or a template: a source already in the target's
// encoding comes back as it is; converted to UTF-8 it is UTF-8; UTF-8
// converted to windows-1252 and back (references resolved) is the same text;
// no byte-order mark leads a converted source. A UTF-16 text turns into UTF-8
// and back into the same bytes.
#include "core/text_encoding.h"
#include "fuzz_support.h"

using namespace tessaly;
using fuzz::Require;
using text::ConvertSource;
using text::Encoding;

static void PutUtf8(std::string& out, unsigned long c) {
    if (c < 0x80) return void(out += static_cast<char>(c));
    const int more = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr unsigned long kLead[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLead[more] | (c >> (6 * more)));
    for (int k = more - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
}

// The text with each &#N; put back as the UTF-8 of N.
static std::string ResolveReferences(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.compare(at, 2, "&#") == 0 ? text.find(';', at) : std::string::npos;
        const std::string digits = end == std::string::npos ? "" : text.substr(at + 2, end - at - 2);
        if (digits.empty() || digits.size() > 7 || digits.find_first_not_of("0123456789") != std::string::npos) {
            out += text[at++];
            continue;
        }
        PutUtf8(out, std::stoul(digits));
        at = end + 1;
    }
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const fuzz::Bytes shape = fuzz::Classify(bytes);
    const bool marked = fuzz::Marked(bytes);

    if (!marked) {
        Require(ConvertSource(bytes, Encoding::AsIs, true) == bytes, "an unmarked source is taken as it is");
        if (shape != fuzz::Bytes::Other)
            Require(ConvertSource(bytes, Encoding::Utf8, true) == bytes, "UTF-8 stays UTF-8");
        if (shape != fuzz::Bytes::Utf8)
            Require(ConvertSource(bytes, Encoding::Windows1252, false) == bytes, "windows-1252 stays windows-1252");
    }
    // A file marked as UTF-8 that is not UTF-8 keeps its bytes.
    std::string_view payload = bytes;
    while (payload.starts_with("\xEF\xBB\xBF")) payload.remove_prefix(3);
    const std::string toUtf8 = ConvertSource(bytes, Encoding::Utf8, false);
    if (payload.size() == bytes.size() || fuzz::Classify(payload) != fuzz::Bytes::Other)
        Require(fuzz::Classify(toUtf8) != fuzz::Bytes::Other, "a source converted to UTF-8 is UTF-8");
    Require(!toUtf8.starts_with("\xEF\xBB\xBF") && !ConvertSource(bytes, Encoding::AsIs, true).starts_with("\xEF\xBB\xBF"),
            "no mark leads a source converted to UTF-8 or taken as it is");

    // UTF-8 into windows-1252: one byte a character, the ones that do not
    // fit as references or '?'; back into UTF-8 (where the bytes cannot
    // pass for UTF-8) with the references resolved, the same text. The
    // source has no '&' of its own.
    if (!marked && shape == fuzz::Bytes::Utf8 && bytes.find('&') == std::string::npos) {
        const std::string windows1252 = ConvertSource(bytes, Encoding::Windows1252, true);
        // Text that begins "\xFE\xFF" or "\xFF\xFE" in windows-1252 reads as a
        // UTF-16 mark, which is taken at its word, as editors take it.
        const bool readsAsMark = windows1252.starts_with("\xFE\xFF") || windows1252.starts_with("\xFF\xFE");
        if (fuzz::Classify(windows1252) != fuzz::Bytes::Utf8 && !readsAsMark)
            Require(ResolveReferences(ConvertSource(windows1252, Encoding::Utf8, false)) == bytes,
                    "UTF-8 through windows-1252 and back keeps every character");
        const auto characters = static_cast<std::size_t>(
            std::count_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0xC0) != 0x80; }));
        Require(ConvertSource(bytes, Encoding::Windows1252, false).size() == characters,
                "in windows-1252 without HTML every character is one byte");
    }

    if (size % 2 == 0) {
        for (const bool bigEndian : {false, true})
            Require(text::Utf8ToUtf16(text::Utf16ToUtf8(bytes, bigEndian), bigEndian) == bytes,
                    "UTF-16 through UTF-8 and back gives the same bytes");
    }
    const text::TemplateEncoding found = text::DetectTemplate(bytes, "t.txt");
    Require(!(found.encoding == Encoding::Utf16LE || found.encoding == Encoding::Utf16BE) || size % 2 == 0,
            "a UTF-16 template has whole code units");
    return 0;
}

#include "core/text_encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tessaly::text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// windows-1252's bytes 0x80 to 0x9F; the five it leaves undefined stand for
// the control characters of the same number, as Windows reads them.
constexpr std::array<char32_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t FromWindows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

void PutUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void PutWindows1252(std::string& out, char32_t c, bool html) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out += static_cast<char>(c);
        return;
    }
    const auto found = std::find(kWindows1252High.begin(), kWindows1252High.end(), c);
    if (found != kWindows1252High.end()) {
        out += static_cast<char>(0x80 + (found - kWindows1252High.begin()));
    } else if (html) {
        out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
    } else {
        out += '?';
    }
}

// The length of the well-formed UTF-8 character at the start of `s` (no
// overlong forms, no surrogates, nothing above U+10FFFF), 0 when there is
// none; `c` receives it. With `surrogates`, the three-byte forms of
// surrogates are taken too.
std::size_t Utf8Char(std::string_view s, char32_t& c, bool surrogates = false) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto follows = [&](std::size_t i) { return i < s.size() && (byte(i) & 0xC0) == 0x80; };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, min = 0x80, c = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, min = 0x800, c = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, min = 0x10000, c = lead & 0x07;
    else return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!follows(i)) return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (!surrogates && c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

enum class Shape { Ascii, Utf8, Other };

Shape ShapeOf(std::string_view s) {
    Shape shape = Shape::Ascii;
    for (std::size_t at = 0; at < s.size();) {
        if (static_cast<unsigned char>(s[at]) < 0x80) {
            ++at;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = Utf8Char(s.substr(at), c);
        if (length == 0) return Shape::Other;
        shape = Shape::Utf8;
        at += length;
    }
    return shape;
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t FindIgnoringCase(std::string_view text, std::string_view word, std::size_t from = 0) {
    if (from > text.size()) return std::string_view::npos;
    const auto hit = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), word.begin(),
                                 word.end(), [](char a, char b) { return FoldCase(a) == FoldCase(b); });
    return hit == text.end() ? std::string_view::npos : static_cast<std::size_t>(hit - text.begin());
}

// The charset that the first <meta> tag declaring one names, in lower case:
// <meta charset="utf-8"> or <meta http-equiv="Content-Type"
// content="text/html; charset=windows-1252">. Empty when none does.
std::string DeclaredCharset(std::string_view text) {
    for (std::size_t at = 0; (at = FindIgnoringCase(text, "<meta", at)) != std::string_view::npos; at += 5) {
        const std::string_view tag = text.substr(at, text.find('>', at) - at);
        std::size_t p = FindIgnoringCase(tag, "charset");
        if (p == std::string_view::npos) continue;
        p += 7;
        const auto skip = [&](std::string_view what) {
            while (p < tag.size() && what.find(tag[p]) != std::string_view::npos) ++p;
        };
        skip(" \t\r\n");
        if (p >= tag.size() || tag[p] != '=') continue;
        ++p;
        skip(" \t\r\n\"'");
        std::string label;
        for (; p < tag.size(); ++p) {
            const char c = FoldCase(tag[p]);
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':')) {
                break;
            }
            label += c;
        }
        if (!label.empty()) return label;
    }
    return {};
}

// A charset label as browsers read it; AsIs for one the program cannot
// convert to.
Encoding FromLabel(std::string_view label) {
    constexpr std::string_view utf8[] = {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8",
                                         "x-unicode20utf8"};
    constexpr std::string_view windows1252[] = {
        "windows-1252", "cp1252",   "x-cp1252",    "iso-8859-1", "iso8859-1",   "iso88591",
        "iso_8859-1",   "iso_8859-1:1987", "latin1", "latin-1",  "l1",          "cp819",
        "ibm819",       "csisolatin1",     "iso-ir-100", "us-ascii", "ascii",  "ansi_x3.4-1968"};
    if (std::find(std::begin(utf8), std::end(utf8), label) != std::end(utf8)) return Encoding::Utf8;
    if (std::find(std::begin(windows1252), std::end(windows1252), label) != std::end(windows1252)) {
        return Encoding::Windows1252;
    }
    return Encoding::AsIs;
}

bool HtmlName(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find_first_of("/\\", dot) != std::string_view::npos) return false;
    std::string extension;
    for (const char c : path.substr(dot + 1)) extension += FoldCase(c);
    return extension == "htm" || extension == "html" || extension == "xht" || extension == "xhtml";
}

bool Utf16Marked(std::string_view bytes, bool& bigEndian) {
    if (bytes.size() % 2 != 0) return false;
    bigEndian = bytes.starts_with(kUtf16BEBom);
    return bigEndian || bytes.starts_with(kUtf16LEBom);
}

// Calls `put` with each code unit of UTF-16 `bytes`.
template <class Put>
void ForEachUnit(std::string_view bytes, bool bigEndian, Put put) {
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        put(static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
}

// Calls `put` with each character of UTF-16 `bytes`; an unpaired surrogate
// comes as itself.
template <class Put>
void ForEachUtf16Char(std::string_view bytes, bool bigEndian, Put put) {
    char32_t high = 0;
    ForEachUnit(bytes, bigEndian, [&](char16_t unit) {
        if (high != 0 && unit >= 0xDC00 && unit <= 0xDFFF) {
            put(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
            high = 0;
            return;
        }
        if (high != 0) put(high);
        high = unit >= 0xD800 && unit <= 0xDBFF ? unit : 0;
        if (high == 0) put(unit);
    });
    if (high != 0) put(high);
}

void PutUnit(std::string& out, char32_t unit, bool bigEndian) {
    const auto hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
}

}  // namespace

TemplateEncoding DetectTemplate(std::string_view bytes, std::string_view path) {
    TemplateEncoding found;
    found.html = HtmlName(path) || FindIgnoringCase(bytes, "<html") != std::string_view::npos ||
                 FindIgnoringCase(bytes, "<meta") != std::string_view::npos;
    bool bigEndian = false;
    if (bytes.starts_with(kUtf8Bom)) {
        found.encoding = Encoding::Utf8;
    } else if (Utf16Marked(bytes, bigEndian)) {
        found.encoding = bigEndian ? Encoding::Utf16BE : Encoding::Utf16LE;
    } else if (const std::string label = DeclaredCharset(bytes); !label.empty()) {
        found.encoding = FromLabel(label);
    } else {
        const Shape shape = ShapeOf(bytes);
        found.encoding = shape == Shape::Utf8    ? Encoding::Utf8
                         : shape == Shape::Other ? Encoding::Windows1252
                                                 : Encoding::AsIs;
    }
    return found;
}

std::string ConvertSource(std::string source, Encoding target, bool html) {
    std::string_view bytes = source;
    std::string out;
    const auto put = [&](char32_t c) {
        if (target == Encoding::Windows1252) PutWindows1252(out, c, html);
        else PutUtf8(out, c);
    };
    bool bigEndian = false;
    if (Utf16Marked(bytes, bigEndian)) {
        out.reserve(bytes.size());
        bool leading = true;  // every mark before the text goes
        ForEachUtf16Char(bytes.substr(2), bigEndian, [&](char32_t c) {
            if (leading && c == 0xFEFF) return;
            leading = false;
            put(c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
        });
        return out;
    }
    bool marked = false;
    while (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
        marked = true;
    }
    if (target == Encoding::AsIs) return source.erase(0, source.size() - bytes.size());
    const Shape shape = ShapeOf(bytes);
    if (target == Encoding::Windows1252 && (shape == Shape::Utf8 || (marked && shape == Shape::Other))) {
        out.reserve(bytes.size());
        for (std::size_t at = 0; at < bytes.size();) {
            char32_t c = 0;
            const std::size_t length = Utf8Char(bytes.substr(at), c);
            // A byte that is no UTF-8 in a file marked as UTF-8: most likely
            // the user's windows-1252 text, so it stays.
            if (length == 0) {
                out += bytes[at++];
            } else {
                put(c);
                at += length;
            }
        }
        return out;
    }
    if (target == Encoding::Utf8 && shape == Shape::Other && !marked) {
        out.reserve(bytes.size() * 2);
        for (const char byte : bytes) put(FromWindows1252(static_cast<unsigned char>(byte)));
        return out;
    }
    return source.erase(0, source.size() - bytes.size());
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    ForEachUtf16Char(bytes, bigEndian, [&](char32_t c) { PutUtf8(out, c); });
    return out;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        std::size_t length = Utf8Char(text.substr(at), c, true);
        // A byte that is no UTF-8 (from a source marked as UTF-8 that is
        // not) is read as windows-1252.
        if (length == 0) {
            c = FromWindows1252(static_cast<unsigned char>(text[at]));
            length = 1;
        }
        at += length;
        if (c >= 0x10000) {
            PutUnit(out, 0xD800 + ((c - 0x10000) >> 10), bigEndian);
            PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), bigEndian);
        } else {
            PutUnit(out, c, bigEndian);
        }
    }
    return out;
}

}  // namespace tessaly::text

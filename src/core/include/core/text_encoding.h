// Text encodings of the template and its sources. The signature keeps the
// template's encoding: a source whose encoding differs, where that can be
// told reliably, is converted to it, and its byte-order mark is dropped.
// Files that share one encoding pass byte for byte. "ANSI" is windows-1252
// here, converted by the program itself so that every system gives the same
// bytes.
#pragma once

#include <string>
#include <string_view>

namespace tessaly::text {

enum class Encoding {
    // Sources are taken as they are: the template is plain ASCII and
    // declares nothing, or it declares a character set the program cannot
    // convert to.
    AsIs,
    Windows1252,  // also what iso-8859-1, latin1 and us-ascii declare, as browsers read them
    Utf8,
    Utf16LE,  // only with its byte-order mark
    Utf16BE,  // only with its byte-order mark
};

struct TemplateEncoding {
    Encoding encoding = Encoding::AsIs;
    // An HTML template: a character its encoding cannot hold becomes a
    // numeric character reference (&#8364;) instead of '?'.
    bool html = false;
};

// The template's encoding, decided by the first of: a byte-order mark; the
// charset of a <meta> tag; otherwise UTF-8 when its bytes are valid UTF-8
// with at least one multi-byte character, windows-1252 when they hold other
// bytes above 127, and AsIs when they are plain ASCII. It is HTML when its
// name ends in .htm, .html, .xht or .xhtml, or its text has an <html or
// <meta tag.
TemplateEncoding DetectTemplate(std::string_view bytes, std::string_view path);

// A source file's text in `target`, without its byte-order mark. A source
// with a byte-order mark is taken as UTF-8 or UTF-16 accordingly; otherwise
// bytes above 127 that are valid UTF-8 are UTF-8, and any others are
// windows-1252. What already is in `target` (or is plain ASCII) comes back
// as it is; a UTF-16 source becomes UTF-8 unless the target is windows-1252.
// A character that windows-1252 cannot hold becomes &#N; when `html`, else
// '?'. `target` is AsIs, Windows1252 or Utf8.
// `bytes` is taken by value, so that a source that stays as it is is not
// copied.
std::string ConvertSource(std::string bytes, Encoding target, bool html);

// The text of a UTF-16 file after its byte-order mark, as UTF-8. An unpaired
// surrogate is kept in UTF-8's form for it, so that Utf8ToUtf16 gives back
// the very same bytes. `bytes` has an even length.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view text, bool bigEndian);

// The byte-order marks.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

}  // namespace tessaly::text

// Text encodings: what a template is written in, how a source is converted
// to it, and what a composition from files in different encodings writes.
#include <gtest/gtest.h>

#include <tuple>

#include "core/text_encoding.h"
#include "support/support.h"

namespace tessaly::test {
namespace {

using text::ConvertSource;
using text::Encoding;

// UTF-16 bytes of `units` behind their byte-order mark.
std::string Utf16(std::u16string_view units, bool bigEndian = false) {
    std::string bytes(bigEndian ? text::kUtf16BEBom : text::kUtf16LEBom);
    for (const char16_t unit : units) {
        const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

const std::string kBom(text::kUtf8Bom);
// "Grüßen", "café" and "Zoë" in UTF-8 and in windows-1252.
const std::string kGruessen8 = "Gr\xC3\xBC\xC3\x9F" "en", kGruessen1252 = "Gr\xFC\xDF" "en";
const std::string kCafe8 = "caf\xC3\xA9", kCafe1252 = "caf\xE9", kZoe8 = "Zo\xC3\xAB", kZoe1252 = "Zo\xEB";

TEST(TemplateEncoding, AMarkThenAMetaCharsetThenTheBytesDecide) {
    const std::tuple<std::string, std::string, Encoding, bool> cases[] = {
        {kBom + "<meta charset=windows-1252>", "t.txt", Encoding::Utf8, true},
        {std::string("\xFF\xFEq\0", 4), "t.txt", Encoding::Utf16LE, false},
        {std::string("\xFE\xFF\0q", 4), "t.txt", Encoding::Utf16BE, false},
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; Charset = Windows-1252\">" + kCafe8, "t",
         Encoding::Windows1252, true},
        {"<meta charset='utf-8'>" + kCafe1252, "t", Encoding::Utf8, true},
        {"<meta charset=\"ISO-8859-1\">", "t", Encoding::Windows1252, true},
        {"<meta name=x><meta charset=shift_jis>" + kCafe1252, "t", Encoding::AsIs, true},
        {kGruessen8, "t.txt", Encoding::Utf8, false},
        {kGruessen1252, "t.txt", Encoding::Windows1252, false},
        {"\xFF\xFE" "odd", "t.txt", Encoding::Windows1252, false},
        {"plain", "t.txt", Encoding::AsIs, false},
        {"plain", "T.HTM", Encoding::AsIs, true},
        {"<html>plain", "t.txt", Encoding::AsIs, true},
    };
    for (const auto& [bytes, name, encoding, html] : cases) {
        const text::TemplateEncoding found = text::DetectTemplate(bytes, name);
        EXPECT_EQ(found.encoding, encoding) << bytes;
        EXPECT_EQ(found.html, html) << bytes;
    }
}

TEST(SourceEncoding, ConvertedToTheTemplatesWithWhatItCannotHoldAsReferencesOrQuestionMarks) {
    const std::string utf8 = kGruessen8 + " \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x98\x80";  // € Ω and a smiling face
    const std::string html1252 = kGruessen1252 + " \x80 &#937; &#128512;";
    EXPECT_EQ(ConvertSource(utf8, Encoding::Windows1252, true), html1252);
    EXPECT_EQ(ConvertSource(kBom + utf8, Encoding::Windows1252, true), html1252);
    EXPECT_EQ(ConvertSource(utf8, Encoding::Windows1252, false), kGruessen1252 + " \x80 ? ?");
    const std::u16string units = u"Gr\u00FC\u00DFen \u20AC \u03A9 \U0001F600";
    for (const bool bigEndian : {false, true}) {
        EXPECT_EQ(ConvertSource(Utf16(units, bigEndian), Encoding::Windows1252, true), html1252);
        EXPECT_EQ(ConvertSource(Utf16(units, bigEndian), Encoding::Utf8, true), utf8);
        EXPECT_EQ(ConvertSource(Utf16(units, bigEndian), Encoding::AsIs, true), utf8);
    }
    // A lone surrogate is no character.
    EXPECT_EQ(ConvertSource(Utf16(u"a\xD800" "b"), Encoding::Utf8, false), "a\xEF\xBF\xBD" "b");
}

TEST(SourceEncoding, WhatIsInTheTargetAlreadyStaysAndNoMarkIsKept) {
    const std::string mixed = kGruessen8 + kCafe1252;  // not UTF-8 as a whole
    EXPECT_EQ(ConvertSource(kGruessen8, Encoding::Utf8, true), kGruessen8);
    EXPECT_EQ(ConvertSource(kGruessen1252, Encoding::Windows1252, true), kGruessen1252);
    EXPECT_EQ(ConvertSource(mixed, Encoding::Windows1252, true), mixed);
    for (const Encoding target : {Encoding::AsIs, Encoding::Utf8, Encoding::Windows1252}) {
        EXPECT_EQ(ConvertSource("plain &#937; ?", target, true), "plain &#937; ?");
        EXPECT_EQ(ConvertSource(kBom + kBom + "x", target, true), "x");
        EXPECT_EQ(ConvertSource(Utf16(u"\uFEFFx"), target, true), "x");
        EXPECT_EQ(ConvertSource(kBom, target, true), "");
    }
    // Taken as they are: no reliable way to tell what the template wants.
    EXPECT_EQ(ConvertSource(kBom + kGruessen8, Encoding::AsIs, true), kGruessen8);
    EXPECT_EQ(ConvertSource(kGruessen1252, Encoding::AsIs, true), kGruessen1252);
    // A file marked as UTF-8 that is not keeps the bytes that are no UTF-8.
    EXPECT_EQ(ConvertSource(kBom + kZoe8 + kCafe1252, Encoding::Windows1252, true), kZoe1252 + kCafe1252);
}

// The table's edges and a byte windows-1252 leaves undefined, which passes
// as the control character of the same number.
TEST(SourceEncoding, Windows1252BytesBecomeTheirCharactersAndTurnBackIntoTheSameBytes) {
    const std::string bytes = "\x80\x81\x82\x9F\xA0\xFF";
    const std::string utf8 = "\xE2\x82\xAC\xC2\x81\xE2\x80\x9A\xC5\xB8\xC2\xA0\xC3\xBF";  // € U+0081 ‚ Ÿ nbsp ÿ
    EXPECT_EQ(ConvertSource(bytes, Encoding::Utf8, false), utf8);
    EXPECT_EQ(ConvertSource(utf8, Encoding::Windows1252, false), bytes);
}

// A UTF-8, UTF-8-with-mark or UTF-16 source in a windows-1252 template, and
// the reverse, read correctly in the signature.
TEST(EncodedComposition, EachSourceReadsCorrectlyInTheTemplatesEncoding) {
    ScratchFolder dir;
    const ComposePaths paths{dir.Path("template"), dir.Path("signature"),
                             dir.Write("q1.txt", kBom + kGruessen8 + " \xE2\x98\x83\r\n"),  // and a snowman
                             dir.Write("q2.txt", Utf16(u"Zo\u00EB\r\n")), dir.Path("html1"), dir.Path("html2")};
    dir.Write("html1/a.htm", kCafe8);
    dir.Write("html2/b.htm", kCafe1252);
    const auto compose = [&](const std::string& templateBytes) {
        WriteBytes(paths.templatePath, templateBytes);
        ScriptedDraws random;
        EXPECT_TRUE(ComposeSignature(paths, random, LineEnds::Windows));
        return ReadBytes(paths.signaturePath).value_or("<none>");
    };
    const std::string all = "quote1|quote2|htmPath1|htmPath2", meta1252 = "<meta charset=windows-1252>";
    EXPECT_EQ(compose(meta1252 + all), meta1252 + kGruessen1252 + " &#9731;|" + kZoe1252 + "|" + kCafe1252 + "|" +
                                           kCafe1252 + "\r\n");
    EXPECT_EQ(compose(kCafe1252 + all), kCafe1252 + kGruessen1252 + " ?|" + kZoe1252 + "|" + kCafe1252 + "|" +
                                            kCafe1252 + "\r\n");
    // Plain ASCII declaring nothing takes its sources as they are.
    EXPECT_EQ(compose("quote1|htmPath1|htmPath2"), kGruessen8 + " \xE2\x98\x83|" + kCafe8 + "|" + kCafe1252 + "\r\n");
    // A UTF-16 template writes UTF-16, and its own bytes stay.
    EXPECT_EQ(compose(Utf16(u"\u00C0 quote2 htmPath2")), Utf16(u"\u00C0 Zo\u00EB caf\u00E9\r\n"));
    ScriptedDraws random;
    EXPECT_EQ(ComposeText(paths, random), "\xC3\x80 " + kZoe8 + " " + kCafe8) << "printed as UTF-8";
}

}  // namespace
}  // namespace tessaly::test

// What a Windows console is given for the companion's bytes: the characters
// they stand for, read as UTF-8 when they are UTF-8 and in the ANSI code
// page otherwise.
#include "cli/console.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tessaly::test {
namespace {

// windows-1252 for the bytes these tests use: Latin-1, and the euro sign.
std::u16string Windows1252(std::string_view bytes) {
    std::u16string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte == 0x80 ? u'\u20AC' : static_cast<char16_t>(byte);
    }
    return text;
}

TEST(ConsoleCharacters, Utf8IsReadAsUtf8AndAnythingElseInTheAnsiCodePageAsAWhole) {
    EXPECT_EQ(console::ConsoleCharacters("Mit freundlichen Gr\xC3\xBC\xC3\x9F" "en\r\n", Windows1252),
              u"Mit freundlichen Gr\u00FC\u00DFen\r\n");
    EXPECT_EQ(console::ConsoleCharacters("\xE2\x82\xAC 5, \xF0\x9F\x98\x80", Windows1252), u"\u20AC 5, \U0001F600")
        << "a character beyond the first 65,536 becomes a surrogate pair";
    EXPECT_EQ(console::ConsoleCharacters("", Windows1252), u"");
    // One windows-1252 byte beside UTF-8 makes the whole text windows-1252:
    // the UTF-8 pair shows as the two characters it is in that code page.
    EXPECT_EQ(console::ConsoleCharacters("\xC3\xBC \xFC", Windows1252), u"\u00C3\u00BC \u00FC");
}

TEST(IsUtf8, AcceptsEveryLengthUpToItsLimitsAndRejectsMalformedSequences) {
    for (const std::string_view text : {"\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xEF\xBF\xBF",
                                        "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(console::IsUtf8(text)) << testing::PrintToString(text);
    }
    // A continuation byte alone, cut short at the end or by another
    // character, over-long two-, three- and four-byte forms, a surrogate,
    // past U+10FFFF, a five-byte form, a byte never used.
    for (const std::string_view text : {"\x80", "\xC3", "\xE2\x82 ", "\xC0\xAF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
                                        "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF"}) {
        EXPECT_FALSE(console::IsUtf8(text)) << testing::PrintToString(text);
    }
}

#ifdef _WIN32
// The system's decoder, as the console gets it under Windows (or Wine) with
// the western European code page.
TEST(ConsoleCharacters, TheSystemsAnsiCodePageDecodesWindows1252) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 1252";
    EXPECT_EQ(console::ConsoleCharacters("Gr\xFC\xDF" "en \x80", console::DecodeAnsiCodePage),
              u"Gr\u00FC\u00DFen \u20AC");
}

// Standard output on a console of its own: the screen shows the characters.
TEST(WriteStandardOutput, AConsoleShowsTheCharacters) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 1252";
    ::FreeConsole();
    ASSERT_TRUE(::AllocConsole());
    const HANDLE screen = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    const HANDLE saved = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ::SetStdHandle(STD_OUTPUT_HANDLE, screen);
    // A windows-1252 signature, then a UTF-8 one.
    const bool written = console::WriteStandardOutput("Gr\xFC\xDF" "en, ") &&
                         console::WriteStandardOutput("Gr\xC3\xBC\xC3\x9F" "en");
    ::SetStdHandle(STD_OUTPUT_HANDLE, saved);

    std::wstring shown(14, L' ');
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()), COORD{0, 0}, &read);
    ::CloseHandle(screen);
    ::FreeConsole();
    EXPECT_TRUE(written);
    EXPECT_EQ(shown.substr(0, read), L"Gr\u00FC\u00DFen, Gr\u00FC\u00DFen");
}
#endif

}  // namespace
}  // namespace tessaly::test

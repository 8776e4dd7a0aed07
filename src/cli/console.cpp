#include "cli/console.h"

#include <algorithm>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#endif

namespace tessaly::console {

namespace {

// The length of the UTF-8 sequence that starts with `lead`, 0 for a byte
// that starts none; and the smallest code point each length may carry.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}
constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};

// The code point at the start of `bytes` and its length, or length 0 when
// the bytes there are not well-formed UTF-8.
std::size_t DecodeOne(std::string_view bytes, std::uint32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || length > bytes.size()) return 0;
    codePoint = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < kSmallest[length] || surrogate || codePoint > 0x10FFFF) return 0;
    return length;
}

#ifdef _WIN32
// WriteConsoleW in pieces small enough for any console, never splitting a
// surrogate pair.
bool WriteConsoleText(HANDLE console, std::u16string_view text) {
    constexpr std::size_t kPiece = 8192;
    while (!text.empty()) {
        std::size_t piece = std::min(text.size(), kPiece);
        if (piece < text.size() && text[piece - 1] >= 0xD800 && text[piece - 1] <= 0xDBFF) --piece;
        DWORD written = 0;
        if (!::WriteConsoleW(console, text.data(), static_cast<DWORD>(piece), &written, nullptr) || written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

bool Write(DWORD which, std::string_view bytes) {
    const HANDLE out = ::GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return bytes.empty();
    // A console: the characters. Anything else (a file, a pipe): the bytes.
    if (DWORD mode = 0; ::GetConsoleMode(out, &mode)) {
        return WriteConsoleText(out, ConsoleCharacters(bytes, DecodeAnsiCodePage));
    }
    while (!bytes.empty()) {
        // WriteFile takes a 32-bit count.
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(out, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}
#else
bool Write(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}
#endif

}  // namespace

bool IsUtf8(std::string_view bytes) {
    std::uint32_t codePoint = 0;
    while (!bytes.empty()) {
        const std::size_t length = DecodeOne(bytes, codePoint);
        if (length == 0) return false;
        bytes.remove_prefix(length);
    }
    return true;
}

std::u16string ConsoleCharacters(std::string_view bytes, AnsiDecoder decodeAnsi) {
    if (!IsUtf8(bytes)) return decodeAnsi(bytes);
    std::u16string text;
    text.reserve(bytes.size());
    std::uint32_t codePoint = 0;
    while (!bytes.empty()) {
        bytes.remove_prefix(DecodeOne(bytes, codePoint));
        if (codePoint < 0x10000) {
            text += static_cast<char16_t>(codePoint);
        } else {
            codePoint -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            text += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        }
    }
    return text;
}

#ifdef _WIN32
std::u16string DecodeAnsiCodePage(std::string_view bytes) {
    std::u16string text;
    if (bytes.empty()) return text;
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
}

bool WriteStandardOutput(std::string_view bytes) { return Write(STD_OUTPUT_HANDLE, bytes); }
bool WriteStandardError(std::string_view bytes) { return Write(STD_ERROR_HANDLE, bytes); }
#else
bool WriteStandardOutput(std::string_view bytes) { return Write(STDOUT_FILENO, bytes); }
bool WriteStandardError(std::string_view bytes) { return Write(STDERR_FILENO, bytes); }
#endif

}  // namespace tessaly::console

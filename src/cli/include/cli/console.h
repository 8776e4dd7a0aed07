// Standard output and error for the command-line companion. Redirected, they
// get the bytes as they are: Windows' C runtime would turn every LF into
// CR LF in text mode, so a template's own CR LF would come out as CR CR LF.
// A Windows console gets the characters instead: it would show the bytes in
// its own code page (the OEM one, such as 437), in which a windows-1252
// "Grüßen" reads "Grⁿ▀en" and UTF-8 fares no better.
#pragma once

#include <string>
#include <string_view>

namespace tessaly::console {

// Writes all of `bytes` to standard output. False when they could not all be
// written: a full disk, a closed pipe, or no standard output at all.
bool WriteStandardOutput(std::string_view bytes);

// The same for standard error.
bool WriteStandardError(std::string_view bytes);

// Decodes bytes of the system's ANSI code page.
using AnsiDecoder = std::u16string (*)(std::string_view bytes);

// The characters that `bytes` stand for, as UTF-16: bytes that are valid
// UTF-8 are read as UTF-8 (a UTF-8 template and its sources, or plain
// ASCII), any others as the ANSI code page, with `decodeAnsi` (a
// windows-1252 template, paths on the command line). Never both: a
// signature is one text.
std::u16string ConsoleCharacters(std::string_view bytes, AnsiDecoder decodeAnsi);

#ifdef _WIN32
// The system's own decoder for its ANSI code page (MultiByteToWideChar).
std::u16string DecodeAnsiCodePage(std::string_view bytes);
#endif

// True when `bytes` are well-formed UTF-8: no stray continuation byte, no
// sequence cut short, no over-long form, no surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes);

}  // namespace tessaly::console

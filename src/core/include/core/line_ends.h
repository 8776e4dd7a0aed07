// Where the lines of a text file end, and how the program ends the lines it
// writes. The Windows program keeps the rule it has always had; on Linux
// every text file a user writes ends its lines with LF, so there a line ends
// at any of the three line breaks while a file written on Windows still reads
// as it does there.
#pragma once

#include <string_view>

namespace tessaly {

enum class LineEnds {
    // A line ends at CR or CR LF; a lone LF is part of the line. A fragment's
    // lines run together, and written lines end with CR LF.
    Windows,
    // A line ends at LF, CR LF or CR. A fragment's line breaks become LF and
    // its last one is dropped, and written lines end with LF.
    Linux,
};

// The one switch that decides the rule the programs follow. Tests pass the
// other rule explicitly wherever a function takes one.
#ifdef _WIN32
inline constexpr LineEnds kPlatformLineEnds = LineEnds::Windows;
#else
inline constexpr LineEnds kPlatformLineEnds = LineEnds::Linux;
#endif

// The line break that lines written under `rule` end with.
constexpr std::string_view LineBreak(LineEnds rule) { return rule == LineEnds::Windows ? "\r\n" : "\n"; }

// Splits the next line off `rest` (without its line break) under `rule`.
// False when nothing is left: a line break at the very end of the text opens
// no further, empty line.
inline bool NextLine(std::string_view& rest, std::string_view& line, LineEnds rule) {
    if (rest.empty()) return false;
    const std::size_t end = rule == LineEnds::Windows ? rest.find('\r') : rest.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        line = rest;
        rest = {};
        return true;
    }
    line = rest.substr(0, end);
    const bool crLf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crLf ? 2 : 1));
    return true;
}

}  // namespace tessaly

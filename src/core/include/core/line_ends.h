// Where the lines of a text file end, and how the program ends the lines it
// writes. The Windows program keeps the rule it has always had; on Linux
// every text file a user writes ends its lines with LF, so there a line ends
// at any of the three line breaks while a file written on Windows still reads
// as it does there.
#pragma once

#include <cstring>
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

// The lines of a text under a rule, one after another, without their line
// breaks; a line break at the very end opens no further, empty line. Each
// kind of line break is looked for with memchr and only again once passed,
// so a long file is split at the speed of memchr, whichever breaks it has.
class LineSplitter {
public:
    LineSplitter(std::string_view text, LineEnds rule)
        : text_(text), cr_(Find('\r')), lf_(rule == LineEnds::Linux ? Find('\n') : text.size()) {}

    // The next line, or false when none is left.
    bool Next(std::string_view& line) {
        if (at_ >= text_.size()) return false;
        if (cr_ < at_) cr_ = Find('\r');
        if (lf_ < at_) lf_ = Find('\n');
        const std::size_t end = cr_ < lf_ ? cr_ : lf_;
        line = text_.substr(at_, end - at_);
        const bool crLf = end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n';
        at_ = end + (crLf ? 2 : 1);
        return true;
    }

private:
    std::size_t Find(char c) const {
        const void* hit = std::memchr(text_.data() + at_, c, text_.size() - at_);
        return hit == nullptr ? text_.size() : static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t cr_;  // the next CR at or after at_, or the end
    std::size_t lf_;  // the next LF that ends a line, or the end
};

}  // namespace tessaly

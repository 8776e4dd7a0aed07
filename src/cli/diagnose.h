// Why a composition failed, as a user needs to hear it: which path, and why.
// The composer only says that it failed, so these look at the files again,
// in the composer's own order, through the file-system seam; this is the one
// place to change once the seam reports its own reasons.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tessaly::cli {

// The six paths, in the settings file's order, with the option that names
// each one and what it is called in messages.
struct PathSlot {
    std::string_view option;
    std::string_view what;
};
inline constexpr std::array<PathSlot, 6> kPathSlots{{
    {"template", "template file"},
    {"signature", "signature file"},
    {"quote1", "quote file 1"},
    {"quote2", "quote file 2"},
    {"html1", "HTML folder 1"},
    {"html2", "HTML folder 2"},
}};
inline constexpr std::size_t kSignatureSlot = 1;

using PathValues = std::array<std::string, 6>;

struct Explanation {
    std::string message;  // one line that names the path at fault and why
    bool unsetPath = false;  // the path at fault is empty
};

// Why composing from `paths` failed (with `writing`, replacing the
// signature file as well).
Explanation ExplainFailure(const PathValues& paths, bool writing);

// Why the file at `path` cannot be read, e.g. "does not exist".
std::string WhyUnreadable(const std::string& path);

}  // namespace tessaly::cli

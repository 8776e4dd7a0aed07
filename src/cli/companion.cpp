#include "cli/companion.h"

#include <array>
#include <exception>
#include <optional>

#include "core/fs.h"
#include "core/settings_file.h"
#include "core/version.h"

namespace tessaly::cli {

namespace {

constexpr std::string_view kProgram = "tessaly-compose";

#ifdef _WIN32
constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kSettingsPlace =
    "  data\\data.sfc in this program's folder.\n";
// Windows programs answer /? with their help, as cmd's own commands do.
constexpr std::string_view kWindowsHelpSwitch = "/?";
constexpr std::string_view kHelpOption =
    "  -h, --help, /?         display this help and exit\n";
#else
constexpr std::string_view kLineBreak = "\n";
constexpr std::string_view kHelpOption =
    "  -h, --help             display this help and exit\n";
constexpr std::string_view kSettingsPlace =
    "  data/data.sfc in this program's folder when that folder is writable (a\n"
    "  build tree or an unpacked folder), otherwise\n"
    "  $XDG_CONFIG_HOME/tessaly/data.sfc (by default ~/.config/tessaly/data.sfc).\n";
#endif

constexpr std::string_view kUsageHead =
    "Usage: tessaly-compose [OPTION]...\n"
    "Compose an e-mail signature once, from the template, quote files and HTML\n"
    "folders that Tessaly uses, and print it to standard output.\n"
    "\n"
    "Paths not given as options come from Tessaly's settings file:\n";
constexpr std::string_view kUsageTail =
    "\n"
    "  -s, --settings=FILE    read the paths from FILE instead\n"
    "      --template=FILE    the template; its words quote1, quote2, htmPath1 and\n"
    "                         htmPath2 are replaced\n"
    "      --quote1=FILE      a line drawn from FILE replaces quote1\n"
    "      --quote2=FILE      a line drawn from FILE replaces quote2\n"
    "      --html1=FOLDER     the text of a file drawn from FOLDER replaces htmPath1\n"
    "      --html2=FOLDER     the text of a file drawn from FOLDER replaces htmPath2\n"
    "  -w, --write            replace the signature file, as Tessaly does, instead\n"
    "                         of printing\n"
    "      --signature=FILE   the signature file that --write replaces\n";
constexpr std::string_view kUsageEnd =
    "  -V, --version          output version information and exit\n"
    "\n"
    "The printed signature ends with one line break. Exit status: 0 on success,\n"
    "1 when the signature cannot be composed or written (the cause goes to\n"
    "standard error), 2 when the command line is wrong.\n"
    "\n"
    "In mutt or NeoMutt:  set signature=\"tessaly-compose|\"\n";

constexpr std::string_view kVersion =
    "tessaly-compose (Tessaly) " TESSALY_VERSION "\n"
    "Supplied with compliments by Brindlewick.\n";

// Fixed texts are written with LF; the platform's own line break replaces it.
std::string Lines(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += kLineBreak;
        else out += c;
    }
    return out;
}

// The six paths, in the settings file's order: the option that names each
// one, what messages call it, the composer's role for it and the template's
// word that needs it.
struct PathSlot {
    std::string_view option;
    std::string_view what;
    PathRole role;
    std::string_view word;
};
constexpr std::array<PathSlot, 6> kPathSlots{{
    {"template", "template file", PathRole::Template, {}},
    {"signature", "signature file", PathRole::Signature, {}},
    {"quote1", "quote file 1", PathRole::Quote1, "quote1"},
    {"quote2", "quote file 2", PathRole::Quote2, "quote2"},
    {"html1", "HTML folder 1", PathRole::Html1, "htmPath1"},
    {"html2", "HTML folder 2", PathRole::Html2, "htmPath2"},
}};
constexpr std::size_t kSignatureSlot = 1;

struct Request {
    std::optional<std::string> settings;
    std::array<std::optional<std::string>, 6> paths;
    bool write = false;
    bool help = false;
    bool version = false;
};

Outcome UsageError(const std::string& message) {
    return {kExitUsage, {}, std::string(kProgram) + ": " + message + "\nTry '" + std::string(kProgram) +
                                 " --help' for more information.\n"};
}

Outcome Failure(const std::string& message) {
    return {kExitFailure, {}, std::string(kProgram) + ": " + message + "\n"};
}

// GNU-style options: "--name=VALUE" or "--name VALUE"; short flags, alone
// or together ("-wV"); "-sFILE" or "-s FILE"; "--" before operands, of
// which there are none.
std::optional<Outcome> Parse(const std::vector<std::string>& args, Request& request) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string>* target = nullptr;
        std::optional<std::string> attached;
        std::string shown;
#ifdef _WIN32
        if (arg == kWindowsHelpSwitch) {
            request.help = true;
            return std::nullopt;
        }
#endif
        if (arg == "--") {
            if (i + 1 < args.size()) return UsageError("unexpected argument '" + args[i + 1] + "'");
            break;
        }
        if (arg.starts_with("--")) {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? arg.size() : equals - 2);
            if (equals != std::string::npos) attached = arg.substr(equals + 1);
            shown = "--" + name;
            bool* flag = name == "write" ? &request.write
                         : name == "help" ? &request.help
                         : name == "version" ? &request.version
                                             : nullptr;
            if (flag != nullptr) {
                if (attached) return UsageError("option '" + shown + "' doesn't allow an argument");
                *flag = true;
            }
            if (name == "settings") target = &request.settings;
            for (std::size_t slot = 0; slot < kPathSlots.size(); ++slot) {
                if (name == kPathSlots[slot].option) target = &request.paths[slot];
            }
            if (flag == nullptr && target == nullptr) return UsageError("unrecognized option '" + shown + "'");
        } else if (arg.size() > 1 && arg[0] == '-') {
            for (std::size_t k = 1; k < arg.size() && target == nullptr; ++k) {
                switch (arg[k]) {
                    case 'w': request.write = true; break;
                    case 'h': request.help = true; break;
                    case 'V': request.version = true; break;
                    case 's':
                        target = &request.settings;
                        shown = "-s";
                        if (k + 1 < arg.size()) attached = arg.substr(k + 1);
                        break;
                    default: return UsageError(std::string("invalid option -- '") + arg[k] + "'");
                }
            }
        } else {
            return UsageError("unexpected argument '" + arg + "'");
        }
        if (target != nullptr) {
            if (attached) *target = std::move(*attached);
            else if (i + 1 < args.size()) *target = args[++i];
            else return UsageError("option '" + shown + "' requires an argument");
        }
        // Help and version answer at once, as GNU programs do.
        if (request.help || request.version) return std::nullopt;
    }
    if (request.paths[kSignatureSlot] && !request.write) {
        return UsageError("--signature names the file that --write replaces; without --write the "
                          "signature goes to standard output");
    }
    return std::nullopt;
}

// The printed signature: the composed text with one closing line break,
// unless the template already ended it with one (editors add a final line
// break, and a mail client would show a second as an empty last line).
std::string Printed(std::string text) {
    if (text.empty() || (text.back() != '\n' && text.back() != '\r')) text += kLineBreak;
    return text;
}

// The composer's failure in the user's words: which path, and why. An unset
// path gets the option that sets it; a file drawn from an HTML folder is
// named as that folder's file.
std::string Explain(const ComposeResult& failure, const std::array<std::string, 6>& paths) {
    for (std::size_t i = 0; i < kPathSlots.size(); ++i) {
        const PathSlot& slot = kPathSlots[i];
        if (slot.role != failure.role) continue;
        if (failure.path.empty()) {
            return "no " + std::string(slot.what) + " is set (name one with --" + std::string(slot.option) +
                   " or in Tessaly)" +
                   (slot.word.empty() ? "" : ", but the template uses \"" + std::string(slot.word) + "\"");
        }
        const std::string drawn = failure.path == paths[i] ? "" : "'s file";
        return std::string(slot.what) + drawn + " '" + failure.path + "': " + failure.reason;
    }
    // The composer names the path of every failure it reports.
    return "the signature could not be composed: " + failure.reason;
}

Outcome Compose(const Request& request, const std::string& defaultSettings, RandomSource& random) {
    std::array<std::string, 6> paths;
    bool needSettings = request.settings.has_value();
    for (std::size_t slot = 0; slot < paths.size(); ++slot) {
        if (request.paths[slot]) paths[slot] = *request.paths[slot];
        // Without --write the signature file plays no part.
        else if (slot != kSignatureSlot || request.write) needSettings = true;
    }
    // Tessaly's own settings file may not exist yet: the paths it would give
    // stay unset, which matters only if the template needs one of them. A
    // file named with --settings must be there.
    std::string settingsNote;
    if (needSettings) {
        const std::string& settingsPath = request.settings ? *request.settings : defaultSettings;
        const LoadedSettings loaded = ReadSettingsFile(settingsPath);
        // A file that is not understood may hold paths other than the ones
        // read from it: composing from those could write the wrong file.
        if (loaded.read.error == fs::Error::Malformed) {
            return Failure("settings file '" + settingsPath + "': " + SettingsFailure(loaded));
        }
        if (!loaded.fileFound) {
            settingsNote = "settings file '" + settingsPath + "': " + fs::Reason(loaded.read);
            if (request.settings) return Failure(settingsNote);
            if (loaded.read.error == fs::Error::NotFound) settingsNote += "; run Tessaly once to create it";
        }
        for (std::size_t slot = 0; slot < paths.size(); ++slot) {
            if (!request.paths[slot]) paths[slot] = loaded.values.paths[slot];
        }
    }

    const ComposePaths composePaths{paths[0], paths[1], paths[2], paths[3], paths[4], paths[5]};
    ComposeResult failure;
    if (request.write) {
        failure = ComposeSignature(composePaths, random);
        if (failure) return {};
    } else if (std::optional<std::string> text = ComposeText(composePaths, random, &failure)) {
        return {kExitSuccess, Printed(std::move(*text)), {}};
    }
    Outcome outcome = Failure(Explain(failure, paths));
    // A path may be unset because Tessaly's settings file could not be read.
    if (failure.path.empty() && !settingsNote.empty()) outcome.err += Failure(settingsNote).err;
    return outcome;
}

}  // namespace

std::string_view OutputLineBreak() { return kLineBreak; }

Outcome Run(const std::vector<std::string>& args, const std::string& defaultSettings, RandomSource& random) {
    Request request;
    if (std::optional<Outcome> error = Parse(args, request)) return *error;
    if (request.help) {
        std::string usage(kUsageHead);
        for (const std::string_view part : {kSettingsPlace, kUsageTail, kHelpOption, kUsageEnd}) usage += part;
        return {kExitSuccess, Lines(usage), {}};
    }
    if (request.version) return {kExitSuccess, Lines(kVersion), {}};
    try {
        return Compose(request, defaultSettings, random);
    } catch (const std::exception&) {
        // Out of memory on a huge source: a failure like any other.
        return Failure("not enough memory to compose the signature");
    }
}

}  // namespace tessaly::cli

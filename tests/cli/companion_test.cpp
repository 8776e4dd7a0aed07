// tessaly-compose, in process: the window program's composition for the same
// draws, its command line, and the message and exit status of each failure.
#include "core/settings_file.h"
#include "cli/companion.h"
#include "core/version.h"
#include "support/support.h"

#include <gtest/gtest.h>

namespace tessaly::test {
namespace {

#ifdef _WIN32
constexpr const char* kBreak = "\r\n";
#else
constexpr const char* kBreak = "\n";
#endif

class Companion : public ::testing::Test {
protected:
    Companion() {
        dir.Write("h1/a.htm", "<b>\r\nA</b>\r\n");
        dir.Write("h1/b.htm", "<i>B</i>");
        dir.Write("h2/c.htm", "C\r\n");
        values.paths = {dir.Write("template.txt", "Regards,\r\nquote1 / quote2\r\nhtmPath1|htmPath2"),
                        dir.Write("sig.txt", kOld),
                        dir.Write("q1.txt", "one\r\ntwo\r\nthree\r\n"),
                        dir.Write("q2.txt", "left\rright"),
                        dir.Path("h1"),
                        dir.Path("h2")};
        settings = dir.Write("data.sfc", FormatSettings(values));
    }

    cli::Outcome Run(const std::vector<std::string>& args, const std::array<float, 4>& d = {}) {
        ScriptedDraws random{d[0], d[1], d[2], d[3]};
        return cli::Run(args, settings, random);
    }

    // The run failed with `status`, printed nothing and said exactly `message`.
    static void ExpectFailure(const cli::Outcome& outcome, int status, const std::string& message) {
        EXPECT_EQ(outcome.status, status);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "tessaly-compose: " + message + "\n");
    }

    std::string Path(std::size_t slot) const { return values.paths[slot]; }

    static constexpr const char* kOld = "old signature\r\n";
    ScratchFolder dir;
    SettingsValues values;
    std::string settings;
};

TEST_F(Companion, PrintsAndWritesWhatTheWindowProgramComposesForTheSameDraws) {
    const ComposePaths paths{Path(0), dir.Path("window.txt"), Path(2), Path(3), Path(4), Path(5)};
    std::set<std::string> seen;
    for (const std::array<float, 4> draws : {std::array<float, 4>{}, {0.5f, 0.9f, 0.9f, 0}, {0.99f, 0, 0.2f, 0.7f}}) {
        ScriptedDraws random{draws[0], draws[1], draws[2], draws[3]};
        ASSERT_TRUE(ComposeSignature(paths, random));
        const std::string window = ReadBytes(paths.signaturePath).value_or("<none>");
        ASSERT_TRUE(window.ends_with(kBreak));
        const cli::Outcome printed = Run({}, draws);
        EXPECT_EQ(printed.status, cli::kExitSuccess) << printed.err;
        EXPECT_EQ(printed.out, window);
        seen.insert(printed.out);

        const cli::Outcome written = Run({"--write"}, draws);
        EXPECT_EQ(written.status, cli::kExitSuccess);
        EXPECT_EQ(written.out + written.err, "") << "--write prints nothing";
        EXPECT_EQ(ReadBytes(Path(1)), window) << "--write gives the window program's bytes";
    }
    EXPECT_EQ(seen.size(), 3u) << "the draws decide the text";

    // A template that ends its own last line gets no second line break.
    dir.Write("template.txt", "quote1\r\n");
    EXPECT_EQ(Run({}).out, "one\r\n");
    dir.Write("template.txt", "quote2\n");
    EXPECT_EQ(Run({}).out, "left\n");
}

TEST_F(Companion, OptionsOverrideTheSettingsFileWhichIsReadOnlyWhenNeeded) {
    const std::string other = dir.Write("other.txt", "[quote1]");
    const std::string quotes = dir.Write("q3.txt", "zz");
    EXPECT_EQ(Run({"--template=" + other, "--quote1", quotes}).out, std::string("[zz]") + kBreak);
    EXPECT_EQ(Run({"-s", settings, "--template", other}).out, std::string("[one]") + kBreak);

    // Every path given: no settings file needed, unless one is named.
    settings = dir.Path("missing.sfc");
    const std::vector<std::string> all{"--template", other, "--quote1", quotes, "--quote2", "-",
                                       "--html1=-", "--html2=-"};
    EXPECT_EQ(Run(all).out, std::string("[zz]") + kBreak);
    std::vector<std::string> named = all;
    named.push_back("--settings=" + settings);
    ExpectFailure(Run(named), cli::kExitFailure, "settings file '" + settings + "': not found");
    // Without Tessaly's own settings file, what the template needs must be named.
    EXPECT_EQ(Run({"--template", dir.Write("plain.txt", "plain")}).out, std::string("plain") + kBreak);
    const std::string unset =
        "no quote file 1 is set (name one with --quote1 or in Tessaly), but the template uses \"quote1\"\n"
        "tessaly-compose: settings file '";
    ExpectFailure(Run({"--template", other}), cli::kExitFailure,
                  unset + settings + "': not found; run Tessaly once to create it");
    ExpectFailure(Run({"--template", Path(2) + "x"}), cli::kExitFailure,
                  "template file '" + Path(2) + "x': not found");  // no note where no path is unset
    settings = Path(4);
    ExpectFailure(Run({"--template", other}), cli::kExitFailure, unset + settings + "': a folder, not a file");
}

TEST_F(Companion, CommandLineMistakesExitWithTwo) {
    const std::string hint = "\nTry 'tessaly-compose --help' for more information.";
    ExpectFailure(Run({"--bogus"}), cli::kExitUsage, "unrecognized option '--bogus'" + hint);
    ExpectFailure(Run({"-wx"}), cli::kExitUsage, "invalid option -- 'x'" + hint);
    ExpectFailure(Run({"--quote1"}), cli::kExitUsage, "option '--quote1' requires an argument" + hint);
    ExpectFailure(Run({"--write=yes"}), cli::kExitUsage, "option '--write' doesn't allow an argument" + hint);
    ExpectFailure(Run({"extra"}), cli::kExitUsage, "unexpected argument 'extra'" + hint);
    ExpectFailure(Run({"--", "-w"}), cli::kExitUsage, "unexpected argument '-w'" + hint);
    ExpectFailure(Run({"--signature", "s.txt"}), cli::kExitUsage,
                  "--signature names the file that --write replaces; without --write the signature goes to "
                  "standard output" + hint);
    EXPECT_EQ(ReadBytes(Path(1)), kOld);

    // Help and version answer before anything else is looked at.
    const cli::Outcome help = Run({"--help", "--bogus"});
    EXPECT_EQ(help.status, cli::kExitSuccess);
    EXPECT_EQ(help.out.rfind(std::string("Usage: tessaly-compose [OPTION]...") + kBreak, 0), 0u);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(Run({"-V"}).out, std::string("tessaly-compose (Tessaly) ") + TESSALY_VERSION + kBreak +
                                   "Supplied with compliments by Brindlewick." + kBreak);
}

TEST_F(Companion, SlashQuestionMarkAsksForTheHelpOnWindows) {
    const cli::Outcome slash = Run({"/?", "--bogus"});
#ifdef _WIN32
    const cli::Outcome help = Run({"--help"});
    EXPECT_EQ(slash.status, cli::kExitSuccess);
    EXPECT_EQ(slash.out, help.out);
    EXPECT_EQ(slash.err, "");
    EXPECT_NE(help.out.find("  -h, --help, /?         display this help and exit\r\n"), std::string::npos);
#else
    // Elsewhere it is an operand like any other, and there are none.
    ExpectFailure(slash, cli::kExitUsage, "unexpected argument '/?'\nTry 'tessaly-compose --help' for more information.");
#endif
}

TEST_F(Companion, EachFailureNamesThePathAndWhyAndLeavesTheSignature) {
    const std::string gone = dir.Path("gone.txt"), lost = dir.Path("gone") + fs::PathSeparator() + "sig.txt";
    const std::string empty = dir.Write("empty.txt", ""), none = dir.Path("none");
    stdfs::create_directories(none);
    const std::string distant = dir.Write("distant.txt", std::string(32767, ' ') + "QUOTE2");
    const std::string tall = dir.Write("tall.txt", std::string(32768, '\r'));
    const std::string bigFile = dir.Write("big/x.htm", std::string(32768, '\r')), big = dir.Path("big");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--template", gone}, "template file '" + gone + "': not found"},
        {{"--template", Path(4)}, "template file '" + Path(4) + "': a folder, not a file"},
        {{"-w", "--template", empty}, "template file '" + empty + "': empty file"},
        {{"--template", distant}, "template file '" + distant + "': quote2 first appears after the 32,767th character"},
        {{"--template="}, "no template file is set (name one with --template or in Tessaly)"},
        {{"--quote2", ""}, "no quote file 2 is set (name one with --quote2 or in Tessaly), but the template uses "
                           "\"quote2\""},
        {{"-w", "--quote1", empty}, "quote file 1 '" + empty + "': empty file"},
        {{"--quote1", tall}, "quote file 1 '" + tall + "': more than 32,767 lines"},
        {{"--write", "--html2", none}, "HTML folder 2 '" + none + "': no files in the folder"},
        {{"--html1", Path(2)}, "HTML folder 1 '" + Path(2) + "': not a folder"},
        {{"--html1", gone}, "HTML folder 1 '" + gone + "': not found"},
        {{"--html1", big}, "HTML folder 1's file '" + bigFile + "': more than 32,767 lines"},
        {{"-w", "--signature", lost}, "signature file '" + lost + "': not found"},
        {{"-w", "--signature", Path(4)}, "signature file '" + Path(4) + "': a folder, not a file"},
        {{"-w", "--signature="}, "no signature file is set (name one with --signature or in Tessaly)"},
        {{"-w", "--signature", Path(0)}, "signature file '" + Path(0) + "': the same file as the template"},
        {{"-w", "--signature", dir.Path("h2/new.htm")}, "signature file '" + dir.Path("h2/new.htm") +
                                                         "': inside HTML folder 2"},
    };
    const auto entries = dir.Entries();
    for (const auto& [args, message] : cases) {
        ExpectFailure(Run(args), cli::kExitFailure, message);
        EXPECT_EQ(ReadBytes(Path(1)), kOld) << message;
        EXPECT_EQ(dir.Entries(), entries) << message;
    }
}

// A settings file that is not understood might name other files than the
// ones read from it: nothing is composed from it.
TEST_F(Companion, AMalformedSettingsFileIsRefused) {
    std::string bytes = FormatSettings(values);
    WriteBytes(settings, bytes.substr(0, bytes.size() - 2) + "\"" + kBreak);
    ExpectFailure(Run({}), cli::kExitFailure, "settings file '" + settings + "': malformed: line 7 is not 0, 1 or 2");
    ExpectFailure(Run({"-w", "-s", settings}), cli::kExitFailure,
                  "settings file '" + settings + "': malformed: line 7 is not 0, 1 or 2");
    WriteBytes(settings, bytes.substr(0, bytes.find(kBreak)));
    ExpectFailure(Run({"--quote1", Path(2)}), cli::kExitFailure,
                  "settings file '" + settings + "': malformed: 1 line instead of 7");
    EXPECT_EQ(ReadBytes(Path(1)), kOld);
}

TEST_F(Companion, AReadOnlySignatureIsLeftWhole) {
    const auto entries = dir.Entries();
    stdfs::permissions(Path(1), stdfs::perms::owner_write | stdfs::perms::group_write | stdfs::perms::others_write,
                       stdfs::perm_options::remove);
    ExpectFailure(Run({"--write"}), cli::kExitFailure,
                  "signature file '" + Path(1) + "': read-only");
    EXPECT_EQ(ReadBytes(Path(1)), kOld);
    EXPECT_EQ(dir.Entries(), entries) << "no temporary file left behind";
}

}  // namespace
}  // namespace tessaly::test

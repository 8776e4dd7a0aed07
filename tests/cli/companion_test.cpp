// tessaly-compose, in process: the signature that the draws give, printed or
// written, its command line, and how it names a failed path (why a path
// fails is the core's, in compose_test.cpp) with its exit status.
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
                        signaturePath,
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

    static constexpr const char* kOld = "old signature\r\n";
    ScratchFolder dir;
    const std::string signaturePath = dir.Write("sig.txt", kOld);
    SettingsValues values;
    std::string settings;
};

TEST_F(Companion, PrintsOrWritesTheSignatureThatTheDrawsGive) {
    const std::array<float, 4> draws{0.5f, 0.9f, 0.9f, 0};
    const std::string signature = "Regards,\r\ntwo / right\r\n<i>B</i>|C" + std::string(kBreak);
    const cli::Outcome printed = Run({}, draws);
    EXPECT_EQ(printed.status, cli::kExitSuccess) << printed.err;
    EXPECT_EQ(printed.out, signature);
    EXPECT_EQ(ReadBytes(signaturePath), kOld) << "printing writes nothing";

    const cli::Outcome written = Run({"--write"}, draws);
    EXPECT_EQ(written.status, cli::kExitSuccess);
    EXPECT_EQ(written.out + written.err, "") << "--write prints nothing";
    EXPECT_EQ(ReadBytes(signaturePath), signature);

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
    ExpectFailure(Run({"--template", dir.Path("missing.txt")}), cli::kExitFailure,
                  "template file '" + dir.Path("missing.txt") + "': not found");  // no note where no path is unset
    settings = dir.Path("h1");
    ExpectFailure(Run({"--template", other}), cli::kExitFailure, unset + settings + "': a folder, not a file");
}

TEST_F(Companion, CommandLineMistakesExitWithTwoAndHelpAnswersFirst) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes{
        {{"--bogus"}, "unrecognized option '--bogus'"},
        {{"-wx"}, "invalid option -- 'x'"},
        {{"--quote1"}, "option '--quote1' requires an argument"},
        {{"--write=yes"}, "option '--write' doesn't allow an argument"},
        {{"--", "-w"}, "unexpected argument '-w'"},
        {{"--signature", "s.txt"}, "--signature names the file that --write replaces; without --write the signature "
                                   "goes to standard output"},
#ifndef _WIN32
        // cmd's way of asking for help is an operand like any other elsewhere.
        {{"/?", "--bogus"}, "unexpected argument '/?'"},
#endif
    };
    for (const auto& [args, message] : mistakes) {
        ExpectFailure(Run(args), cli::kExitUsage, message + "\nTry 'tessaly-compose --help' for more information.");
    }
    EXPECT_EQ(ReadBytes(signaturePath), kOld);

    const cli::Outcome help = Run({"--help", "--bogus"});
    EXPECT_EQ(help.status, cli::kExitSuccess);
    EXPECT_EQ(help.out.rfind(std::string("Usage: tessaly-compose [OPTION]...") + kBreak, 0), 0u);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(Run({"-V"}).out, std::string("tessaly-compose (Tessaly) ") + TESSALY_VERSION + kBreak +
                                   "Supplied with compliments by Brindlewick." + kBreak);
#ifdef _WIN32
    EXPECT_EQ(Run({"/?", "--bogus"}).out, help.out);
    EXPECT_NE(help.out.find("  -h, --help, /?         display this help and exit\r\n"), std::string::npos);
#endif
}

// The core says why a composition failed (compose_test.cpp); the companion
// names the path as its option does, and what is not set at all.
TEST_F(Companion, EachFailureNamesThePathAndWhyAndLeavesTheSignature) {
    const std::string gone = dir.Path("gone.txt"), lost = dir.Path("gone") + fs::PathSeparator() + "sig.txt";
    const std::string empty = dir.Write("empty.txt", ""), none = dir.Path("none");
    stdfs::create_directories(none);
    const std::string bigFile = dir.Write("big/x.htm", std::string(32768, '\r')), big = dir.Path("big");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--template", gone}, "template file '" + gone + "': not found"},
        {{"--template="}, "no template file is set (name one with --template or in Tessaly)"},
        {{"--quote2", ""}, "no quote file 2 is set (name one with --quote2 or in Tessaly), but the template uses "
                           "\"quote2\""},
        {{"-w", "--quote1", empty}, "quote file 1 '" + empty + "': empty file"},
        {{"--write", "--html2", none}, "HTML folder 2 '" + none + "': no files in the folder"},
        {{"--html1", big}, "HTML folder 1's file '" + bigFile + "': more than 32,767 lines"},
        {{"-w", "--signature", lost}, "signature file '" + lost + "': not found"},
        {{"-w", "--signature="}, "no signature file is set (name one with --signature or in Tessaly)"},
    };
    const auto entries = dir.Entries();
    for (const auto& [args, message] : cases) {
        ExpectFailure(Run(args), cli::kExitFailure, message);
        EXPECT_EQ(ReadBytes(signaturePath), kOld) << message;
        EXPECT_EQ(dir.Entries(), entries) << message;
    }
}

// A settings file that is not understood might name other files than the
// ones read from it: nothing is composed from it.
TEST_F(Companion, AMalformedSettingsFileIsRefused) {
    const std::string bytes = FormatSettings(values);
    WriteBytes(settings, bytes.substr(0, bytes.size() - 2) + "\"" + kBreak);
    ExpectFailure(Run({"-w"}), cli::kExitFailure,
                  "settings file '" + settings + "': malformed: line 7 is not 0, 1 or 2");
    EXPECT_EQ(ReadBytes(signaturePath), kOld);
}

}  // namespace
}  // namespace tessaly::test

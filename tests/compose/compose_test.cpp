// Composing a signature: placeholders, lines, draws, limits, failures, and
// the signatures that are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "core/fs.h"
#include "support/support.h"

namespace tessaly::test {
namespace {

// Every file and folder under `folder` with its bytes.
std::map<std::string, std::string> Files(const ScratchFolder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : stdfs::recursive_directory_iterator(folder.Path())) {
        files[entry.path().string()] = entry.is_regular_file() ? ReadBytes(entry.path().string()).value_or("") : "";
    }
    return files;
}

// Two quote files and two folders of one fragment each; each composition
// starts from a signature that holds an earlier one. The Windows line rule
// unless a test names the other.
class Composition : public ::testing::Test {
protected:
    Composition() {
        dir.Write("html1/a.htm", "<p>\r\none</p>\r\n");
        dir.Write("html2/b.htm", "<p>two</p>");
        paths = {dir.Path("template.txt"), dir.Path("signature.txt"), dir.Write("q1.txt", "first\r\nsecond\r\nthird\r\n"),
                 dir.Write("q2.txt", "only\r\n"), dir.Path("html1"), dir.Path("html2")};
    }

    // The signature composed with every scripted draw or, after a failure
    // that left every file as it was, the failed path's role and why.
    std::string Outcome(std::initializer_list<float> draws, LineEnds rule = LineEnds::Windows) {
        const auto before = Files(dir);
        ScriptedDraws random(draws);
        const ComposeResult result = ComposeSignature(paths, random, rule);
        EXPECT_TRUE(random.left.empty()) << "fewer draws than scripted";
        if (result) return ReadBytes(paths.signaturePath).value_or("<none>");
        EXPECT_EQ(Files(dir), before);
        return std::string(RoleName(result.role)) + ": " + result.reason;
    }
    // The same from `templateBytes` (no template file when none) over an
    // earlier signature.
    std::string Compose(std::optional<std::string> templateBytes, std::initializer_list<float> draws,
                        LineEnds rule = LineEnds::Windows) {
        WriteBytes(paths.signaturePath, "earlier signature\r\n");
        if (templateBytes) WriteBytes(paths.templatePath, *templateBytes);
        else stdfs::remove(paths.templatePath);
        return Outcome(draws, rule);
    }

    // The signature for each of the n lines of a quote file `text`, in file
    // order.
    std::vector<std::string> EachLine(const std::string& text, int n, LineEnds rule) {
        dir.Write("q1.txt", text);
        std::vector<std::string> got;
        for (int k = 0; k < n; ++k) {
            got.push_back(Compose("quote1", {(static_cast<float>(k) + 0.5f) / static_cast<float>(n)}, rule));
        }
        return got;
    }

    ScratchFolder dir;
    ComposePaths paths;
};

using V = std::vector<std::string>;

TEST_F(Composition, ReplacesEachPlaceholderFromItsSourceAndEndsWithCrLf) {
    EXPECT_EQ(Compose("quote1 quote2 htmPath1 htmPath2", {0.5f, 0.0f, 0.0f, 0.0f}),
              "second only <p>one</p> <p>two</p>\r\n");
    // One draw serves every occurrence; a template ending in a line break
    // gives a signature ending in two.
    EXPECT_EQ(Compose("quote1-quote1\r\n", {0.9f}), "third-third\r\n\r\n");
    // Presence ignores letter case, the replacement does not; a placeholder
    // is a plain substring.
    EXPECT_EQ(Compose("QUOTE1 quote12", {0.0f}), "QUOTE1 first2\r\n");
    // Without placeholders no source is touched.
    paths.quote1 = paths.quote2 = paths.htmPath1 = paths.htmPath2 = "";
    EXPECT_EQ(Compose("plain\r\ntext", {}), "plain\r\ntext\r\n");
}

// Inserted text is replaced only by later placeholders of the template.
TEST_F(Composition, InsertedTextIsReplacedOnlyByLaterPlaceholdersAndFilesOfOneEncodingPassByteForByte) {
    dir.Write("q1.txt", "[quote1 quote2 htmPath2]");
    dir.Write("q2.txt", "(quote1 quote2)");
    EXPECT_EQ(Compose("quote1 quote2", {0.0f, 0.0f}), "[quote1 (quote1 quote2) htmPath2] (quote1 quote2)\r\n");
    EXPECT_EQ(Compose("quote1 htmPath2", {0.0f, 0.0f}), "[quote1 quote2 <p>two</p>] <p>two</p>\r\n");

    // Every byte above 127, no UTF-8 anywhere: all windows-1252.
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
    const std::string nul("a\0b", 3);
    dir.Write("q1.txt", high + "\r\n");
    dir.Write("html1/a.htm", high + "\r\n" + nul + "\r\n");
    EXPECT_EQ(Compose("caf\xE9 LF\n" + nul + " quote1|htmPath1", {0.0f, 0.0f}),
              "caf\xE9 LF\n" + nul + " " + high + "|" + high + nul + "\r\n");
}

TEST_F(Composition, AFailureNamesThePathAndWhyAndAFixedSourceWorksAgain) {
    const std::string all = "quote1 quote2 htmPath1 htmPath2";
    EXPECT_EQ(Compose("", {}), "template: empty file");
    EXPECT_EQ(Compose(std::nullopt, {}), "template: not found");
    dir.Write("q2.txt", "");
    EXPECT_EQ(Compose(all, {0.0f}), "quote file 2: empty file");
    dir.Write("q2.txt", "filled");
    EXPECT_EQ(Compose(all, {0.0f, 0.0f, 0.0f, 0.0f}), "first filled <p>one</p> <p>two</p>\r\n");

    stdfs::remove(dir.Path("html2/b.htm"));
    dir.Write("html2/sub/inner.htm", "in a subfolder");
#ifndef _WIN32
    dir.Write("html2/.hidden.htm", "hidden");
#endif
    EXPECT_EQ(Compose(all, {0.0f, 0.0f, 0.0f}), "HTML folder 2: no files in the folder");
    paths.htmPath2 = dir.Path("missing");
    EXPECT_EQ(Compose(all, {0.0f, 0.0f, 0.0f}), "HTML folder 2: not found");
    paths.htmPath2 = "";
    EXPECT_EQ(Compose(all, {0.0f, 0.0f, 0.0f}), "HTML folder 2: not a valid name");
    paths.htmPath2 = paths.quote2;
    EXPECT_EQ(Compose(all, {0.0f, 0.0f, 0.0f}), "HTML folder 2: not a folder");
    paths.htmPath2 = paths.htmPath1;
    paths.quote1 = dir.Path("missing.txt");
    EXPECT_EQ(Compose("QUOTE1", {}), "quote file 1: not found") << "placeholder in other case";
    paths.quote1 = paths.htmPath1;
    EXPECT_EQ(Compose("quote1", {}), "quote file 1: a folder, not a file");

    // A signature in a missing folder, or a read-only one, fails after
    // every source was read.
    WriteBytes(paths.templatePath, all);
    paths.quote1 = dir.Path("q1.txt");
    paths.signaturePath = dir.Path("missing/signature.txt");
    EXPECT_EQ(Outcome({0.0f, 0.0f, 0.0f, 0.0f}), "signature file: not found");
    paths.signaturePath = dir.Write("read-only.txt", "old");
    stdfs::permissions(paths.signaturePath, stdfs::perms::owner_write | stdfs::perms::group_write |
                       stdfs::perms::others_write, stdfs::perm_options::remove);
    EXPECT_EQ(Outcome({0.0f, 0.0f, 0.0f, 0.0f}), "signature file: read-only");
}

// Positions and line counts are 16-bit.
TEST_F(Composition, CountsBeyond32767Fail) {
    const std::string filler(32766, 'x');
    EXPECT_EQ(Compose(filler + "quote1", {0.0f}), filler + "first\r\n");
    EXPECT_EQ(Compose(filler + "xQUOTE1 quote1", {}), "template: quote1 first appears after the 32,767th character");

    std::string numbered;
    for (int i = 1; i <= 32767; ++i) numbered += "line " + std::to_string(i) + "\r\n";
    dir.Write("q1.txt", numbered);
    EXPECT_EQ(Compose("quote1", {std::nextafter(1.0f, 0.0f)}), "line 32767\r\n");
    dir.Write("q1.txt", numbered + "one more");
    EXPECT_EQ(Compose("quote1", {}), "quote file 1: more than 32,767 lines");
}

TEST_F(Composition, UnderTheWindowsRuleLinesEndAtCrOrCrLfAndFragmentsRunTogether) {
    const auto lines = [&](const std::string& text, int n) { return EachLine(text, n, LineEnds::Windows); };
    EXPECT_EQ(lines("one\r\n\r\nthree\r\n", 3), (V{"one\r\n", "\r\n", "three\r\n"}));
    EXPECT_EQ(lines("a\rb\r\n\nc\r", 3), (V{"a\r\n", "b\r\n", "\nc\r\n"}));
    EXPECT_EQ(lines("a\nb\n", 1), (V{"a\nb\n\r\n"}));
    EXPECT_EQ(lines("no end", 1), (V{"no end\r\n"}));

    dir.Write("html1/a.htm", "<b>one</b>\r\n<i>two\r\nthree</i>\rfour\nfive");
    EXPECT_EQ(Compose("htmPath1", {0.0f}), "<b>one</b><i>twothree</i>four\nfive\r\n");
    dir.Write("html1/a.htm", "");
    EXPECT_EQ(Compose("[htmPath1]", {0.0f}), "[]\r\n");
}

TEST_F(Composition, UnderTheLinuxRuleAnyLineBreakEndsALineAndFragmentsKeepTheirsAsLf) {
    const auto lines = [&](const std::string& text, int n) { return EachLine(text, n, LineEnds::Linux); };
    EXPECT_EQ(lines("one\ntwo\r\nthree\rfour\n", 4), (V{"one\n", "two\n", "three\n", "four\n"}));
    EXPECT_EQ(lines("a\n\r\nc", 3), (V{"a\n", "\n", "c\n"}));

    // Words never run together, and the last line break stays out.
    dir.Write("html1/a.htm", "<b>Best</b>\r\nregards\r\n");
    EXPECT_EQ(Compose("[htmPath1]", {0.0f}, LineEnds::Linux), "[<b>Best</b>\nregards]\n");
    dir.Write("html1/a.htm", "J\xC3\xB6rg\rB\xC3\xBCro\n\n");
    EXPECT_EQ(Compose("[htmPath1]", {0.0f}, LineEnds::Linux), "[J\xC3\xB6rg\nB\xC3\xBCro\n]\n");
    // The template's own line breaks stay; only the closing one is LF.
    dir.Write("q1.txt", "one\n");
    EXPECT_EQ(Compose("Hi\r\nquote1\n", {0.0f}, LineEnds::Linux), "Hi\r\none\n\n");
}

// However its path is written, a signature never replaces one of its
// sources nor lands among the fragments; beside them it is written as ever.
TEST_F(Composition, ASignatureThatWouldOverwriteASourceIsRefusedAndNothingIsWritten) {
    WriteBytes(paths.templatePath, "quote1 htmPath1");
    dir.Write("html2/deeper/c.htm", "C");
    const auto refusal = [&](const std::string& signature) {
        paths.signaturePath = signature;
        return Outcome({0.0f, 0.0f});
    };
    const std::string up = std::string(1, fs::PathSeparator()) + "..", here = std::string(1, fs::PathSeparator()) + ".";
    const std::string asTemplate = "signature file: the same file as the template";
    EXPECT_EQ(refusal(paths.templatePath), asTemplate);
    EXPECT_EQ(refusal(dir.Path("html2/deeper") + up + up + here + fs::PathSeparator() + "template.txt"), asTemplate);
    EXPECT_EQ(refusal(paths.quote2), "signature file: the same file as quote file 2") << "unused today, still the user's";
    EXPECT_EQ(refusal(dir.Path("html1/new.htm")), "signature file: inside HTML folder 1");
    EXPECT_EQ(refusal(dir.Path("html2/deeper/new.htm")), "signature file: inside HTML folder 2");
    paths.htmPath1 = dir.Path("html2/deeper") + up + up + fs::PathSeparator() + "html1" + fs::PathSeparator();
    EXPECT_EQ(refusal(dir.Path("html1/a.htm")), "signature file: inside HTML folder 1");
#ifndef _WIN32
    // Links: to the template, into a folder, from a signature into a folder,
    // and a second name of the same quote file.
    stdfs::create_symlink(paths.templatePath, dir.Path("template-link"));
    stdfs::create_directory_symlink(dir.Path("html2/deeper"), dir.Path("deeper-link"));
    stdfs::create_symlink(dir.Path("html1/a.htm"), dir.Path("fragment-link"));
    stdfs::create_hard_link(paths.quote1, dir.Path("q1-again.txt"));
    EXPECT_EQ(refusal(dir.Path("template-link")), asTemplate);
    EXPECT_EQ(refusal(dir.Path("deeper-link/new.htm")), "signature file: inside HTML folder 2");
    EXPECT_EQ(refusal(dir.Path("fragment-link")), "signature file: inside HTML folder 1");
    EXPECT_EQ(refusal(dir.Path("q1-again.txt")), "signature file: the same file as quote file 1");
#endif
    EXPECT_EQ(refusal(dir.Path("signature.txt")), "first <p>one</p>\r\n");
    EXPECT_EQ(refusal(dir.Path("html2") + "-beside.htm"), "first <p>one</p>\r\n");
}

// Draws go over the plain files in byte order of their names.
TEST_F(Composition, DrawsPickPlainFilesByNameAndSeeNewOnes) {
    dir.Write("html1/b.htm", "B");
    dir.Write("html1/no extension", "C");
#ifndef _WIN32
    // A dangling link, or one to a folder, is no file and spoils nothing.
    stdfs::create_symlink(dir.Path("gone"), dir.Path("html1/d dangling"));
    stdfs::create_symlink(dir.Path("html2"), dir.Path("html1/e folder"));
#endif
    EXPECT_EQ(Compose("htmPath1", {0.0f}), "<p>one</p>\r\n");
    EXPECT_EQ(Compose("htmPath1", {0.5f}), "B\r\n");
    EXPECT_EQ(Compose("htmPath1", {0.9f}), "C\r\n");
    dir.Write("html1/z.htm", "Z");
    EXPECT_EQ(Compose("htmPath1", {0.9f}), "Z\r\n");
    // A folder text ending in a separator still finds its files.
    paths.htmPath2 += fs::PathSeparator();
    EXPECT_EQ(Compose("htmPath2", {0.0f}), "<p>two</p>\r\n");
}

}  // namespace
}  // namespace tessaly::test

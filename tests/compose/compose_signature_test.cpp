// Composing a signature: placeholders, bytes, failures.
#include "compose_fixture.h"

namespace tessaly::test {
namespace {

// Two quote files and two folders with one fragment each, and a signature
// file that already holds an earlier composition.
class Composition : public ::testing::Test {
protected:
    Composition() {
        paths.templatePath = dir.Write("template.txt", "quote1 quote2 htmPath1 htmPath2");
        paths.signaturePath = dir.Write("signature.txt", kOld);
        paths.quote1 = dir.Write("q1.txt", "first\r\nsecond\r\nthird\r\n");
        paths.quote2 = dir.Write("q2.txt", "only\r\n");
        paths.htmPath1 = dir.Folder("html1");
        paths.htmPath2 = dir.Folder("html2");
        dir.Write("html1/a.htm", "<p>\r\none</p>\r\n");
        dir.Write("html2/b.htm", "<p>two</p>");
        entries = dir.Entries();
    }

    // Composes from `templateBytes`; the signature's content, or "<failed>".
    std::string Compose(const std::string& templateBytes, RandomSource& random) {
        WriteBytes(paths.templatePath, templateBytes);
        if (!ComposeSignature(paths, random)) return "<failed>";
        return ReadBytes(paths.signaturePath);
    }

    // A failed composition leaves the old signature and no stray file.
    void ExpectUntouched() {
        EXPECT_EQ(ReadBytes(paths.signaturePath), kOld);
        EXPECT_EQ(dir.Entries(), entries);
    }

    static constexpr const char* kOld = "earlier signature\r\n";
    ScratchFolder dir;
    ComposePaths paths;
    std::set<std::string> entries;
};

TEST_F(Composition, ReplacesEveryPlaceholderInTableOrderAndEndsWithCrLf) {
    ScriptedRandom random{0.5f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(Compose("quote1 quote2 htmPath1 htmPath2", random), "second only <p>one</p> <p>two</p>\r\n");
    EXPECT_EQ(random.draws, 4);

    // A template that ends with a line break gives a signature ending with two.
    ScriptedRandom again{0.0f};
    EXPECT_EQ(Compose("Regards,\r\nquote1\r\n", again), "Regards,\r\nfirst\r\n\r\n");

    // No placeholder: the template is copied and no source is touched.
    paths.quote1 = paths.quote2 = paths.htmPath1 = paths.htmPath2 = "";
    ScriptedRandom none{};
    EXPECT_EQ(Compose("plain\r\ntext", none), "plain\r\ntext\r\n");
    EXPECT_EQ(none.draws, 0);
}

TEST_F(Composition, OneDrawServesEveryOccurrence) {
    ScriptedRandom random{0.9f};
    EXPECT_EQ(Compose("quote1-quote1 quote1", random), "third-third third\r\n");
    EXPECT_EQ(random.draws, 1);
}

TEST_F(Composition, PresenceIgnoresCaseButReplacementDoesNot) {
    // Only "QUOTE1" occurs: the source is read, the text stays.
    ScriptedRandom random{0.0f};
    EXPECT_EQ(Compose("QUOTE1 Quote1", random), "QUOTE1 Quote1\r\n");
    EXPECT_EQ(random.draws, 1);

    paths.quote1 = dir.Path("missing.txt");
    ScriptedRandom missing{0.0f};
    EXPECT_EQ(Compose("QUOTE1", missing), "<failed>");

    // Plain substrings: the digit after "quote1" stays.
    paths.quote1 = dir.Path("q1.txt");
    ScriptedRandom digits{0.0f};
    EXPECT_EQ(Compose("quote12 xquote1x", digits), "first2 xfirstx\r\n");
}

TEST_F(Composition, InsertedTextIsScannedOnlyByLaterPlaceholdersFromTheTemplate) {
    dir.Write("q1.txt", "[quote1 quote2 htmPath2]");
    dir.Write("q2.txt", "(quote1 quote2)");
    // quote2's text is put in after quote1's: the "quote2" that quote1 brought
    // in is replaced, the "quote1" that quote2 brings stays, and neither
    // replacement is scanned again for its own word.
    ScriptedRandom random{0.0f, 0.0f};
    EXPECT_EQ(Compose("quote1 quote2", random), "[quote1 (quote1 quote2) htmPath2] (quote1 quote2)\r\n");
    EXPECT_EQ(random.draws, 2);

    // With "htmPath2" in the template the one brought in is replaced too.
    ScriptedRandom withFolder{0.0f, 0.0f, 0.0f};
    EXPECT_EQ(Compose("quote1 htmPath2", withFolder), "[quote1 quote2 <p>two</p>] <p>two</p>\r\n");
}

TEST_F(Composition, FirstPositionBeyond32767Fails) {
    const std::string filler(32766, 'x');
    ScriptedRandom random{0.0f};
    EXPECT_EQ(Compose(filler + "quote1", random), filler + "first\r\n");

    ScriptedRandom beyond{};
    EXPECT_EQ(Compose(filler + "xQUOTE1 quote1", beyond), "<failed>");
    EXPECT_EQ(beyond.draws, 0);
    EXPECT_EQ(ReadBytes(paths.signaturePath), filler + "first\r\n");
}

TEST_F(Composition, EveryByteReachesTheSignatureUnchanged) {
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
    const std::string bom = "\xEF\xBB\xBF";
    const std::string nul("a\0b", 3);
    dir.Write("q1.txt", bom + high + "\r\n");
    dir.Write("html1/a.htm", high + "\r\n" + nul + "\r\n");
    ScriptedRandom random{0.0f, 0.0f};
    EXPECT_EQ(Compose(bom + "lone\nLF " + nul + " quote1|htmPath1 " + high, random),
              bom + "lone\nLF " + nul + " " + bom + high + "|" + high + nul + " " + high + "\r\n");
}

TEST_F(Composition, FailuresLeaveThePreviousSignatureAndAFixedSourceWorksAgain) {
    const std::string full = "quote1 quote2 htmPath1 htmPath2";
    ScriptedRandom random{};
    EXPECT_EQ(Compose("", random), "<failed>") << "zero-length template";
    ExpectUntouched();

    const std::string templatePath = paths.templatePath;
    paths.templatePath = dir.Path("no-template.txt");
    EXPECT_FALSE(ComposeSignature(paths, random)) << "missing template";
    ExpectUntouched();
    paths.templatePath = templatePath;

    WriteBytes(paths.quote2, "");
    ScriptedRandom emptyQuote{0.0f};
    EXPECT_EQ(Compose(full, emptyQuote), "<failed>") << "empty quote file";
    ExpectUntouched();
    WriteBytes(paths.quote2, "now filled");
    ScriptedRandom fixed{0.0f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(Compose(full, fixed), "first now filled <p>one</p> <p>two</p>\r\n");
    EXPECT_EQ(ReadBytes(paths.signaturePath), "first now filled <p>one</p> <p>two</p>\r\n");
    WriteBytes(paths.signaturePath, kOld);

    WriteBytes(paths.quote1, NumberedLines(32768));
    ScriptedRandom longQuote{};
    EXPECT_EQ(Compose(full, longQuote), "<failed>") << "quote file over 32767 lines";
    ExpectUntouched();
    WriteBytes(paths.quote1, "first\r\n");

    stdfs::remove(dir.Path("html2") + fs::PathSeparator() + "b.htm");
    dir.Folder("html2/sub");
#ifndef _WIN32
    dir.Write("html2/.hidden.htm", "hidden");
#endif
    ScriptedRandom noFiles{0.0f, 0.0f, 0.0f};
    EXPECT_EQ(Compose(full, noFiles), "<failed>") << "folder with only a subfolder and hidden files";
    ExpectUntouched();
    dir.Write("html2/b.htm", "<p>two</p>");

    const std::string folder = paths.htmPath1;
    paths.htmPath1 = "";
    ScriptedRandom noFolder{0.0f, 0.0f};
    EXPECT_EQ(Compose(full, noFolder), "<failed>") << "empty folder text";
    paths.htmPath1 = dir.Path("no-such-folder");
    ScriptedRandom missingFolder{0.0f, 0.0f};
    EXPECT_EQ(Compose(full, missingFolder), "<failed>") << "missing folder";
    ExpectUntouched();
    paths.htmPath1 = folder;

    // A signature in a missing folder fails only after every source was read.
    paths.signaturePath = dir.Path("no-such-folder") + fs::PathSeparator() + "sig.txt";
    ScriptedRandom allRead{0.0f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(Compose(full, allRead), "<failed>") << "signature in a missing folder";
    EXPECT_EQ(allRead.draws, 4);
    EXPECT_EQ(dir.Entries(), entries);
}

// The count is the same code on every system; under a Windows emulator the
// 32,768 entries alone take minutes, so this runs natively only.
#ifndef _WIN32
TEST_F(Composition, FolderOfMoreThan32767FilesFails) {
    // Links to one file fill the folder far faster than separate files.
    const std::string crowded = dir.Folder("crowded");
    const std::string first = dir.Write("crowded/0", "<p>many</p>");
    for (int i = 1; i < 32768; ++i) stdfs::create_hard_link(first, crowded + fs::PathSeparator() + std::to_string(i));
    paths.htmPath1 = crowded;
    entries = dir.Entries();
    ScriptedRandom tooMany{0.0f, 0.0f};
    EXPECT_EQ(Compose("quote1 htmPath1", tooMany), "<failed>");
    ExpectUntouched();

    stdfs::remove(crowded + fs::PathSeparator() + "32767");
    ScriptedRandom justEnough{0.0f, 0.0f};
    EXPECT_EQ(Compose("quote1 htmPath1", justEnough), "first <p>many</p>\r\n");
}
#endif

}  // namespace
}  // namespace tessaly::test

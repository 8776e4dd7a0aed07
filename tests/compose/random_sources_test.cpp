// Lines of a quote file, fragments of a folder, and how a draw picks them.
#include <cmath>
#include <set>
#include <vector>

#include "compose_fixture.h"

namespace tessaly::test {
namespace {

// Each line of `text`, in order, as ReadRandomLine returns it when the draw
// points at that line; also checks that no line lies beyond them.
std::vector<std::string> LinesThroughDraws(const ScratchFolder& dir, const std::string& text, int expected) {
    const std::string path = dir.Write("quotes.txt", text);
    std::vector<std::string> lines;
    for (int k = 0; k < expected; ++k) {
        // The middle of line k's share of [0, 1).
        ScriptedRandom random{(static_cast<float>(k) + 0.5f) / static_cast<float>(expected)};
        const auto line = ReadRandomLine(path, random);
        EXPECT_TRUE(line.has_value());
        lines.push_back(line.value_or("<failed>"));
    }
    return lines;
}

TEST(LineRule, CarriageReturnEndsALineAndLineFeedAloneDoesNot) {
    ScratchFolder dir;
    using V = std::vector<std::string>;
    EXPECT_EQ(LinesThroughDraws(dir, "one\r\ntwo\r\nthree\r\n", 3), (V{"one", "two", "three"}));
    EXPECT_EQ(LinesThroughDraws(dir, "one\rtwo\rthree", 3), (V{"one", "two", "three"}));
    EXPECT_EQ(LinesThroughDraws(dir, "one\r\n\r\nthree\r\n", 3), (V{"one", "", "three"}));
    EXPECT_EQ(LinesThroughDraws(dir, "a\nb\nc\n", 1), (V{"a\nb\nc\n"}));
    EXPECT_EQ(LinesThroughDraws(dir, "a\r\n\nb\r\r", 3), (V{"a", "\nb", ""}));
    EXPECT_EQ(LinesThroughDraws(dir, "\r\n", 1), (V{""}));
    EXPECT_EQ(LinesThroughDraws(dir, "last has no end", 1), (V{"last has no end"}));
}

TEST(LineRule, FragmentLinesRunTogether) {
    ScratchFolder dir;
    const std::string folder = dir.Folder("html");
    dir.Write("html/f.htm", "<b>one</b>\r\n<i>two\r\nthree</i>\r\nfour\nfive\rsix");
    ScriptedRandom random{0.0f};
    EXPECT_EQ(ReadRandomFile(folder, random), "<b>one</b><i>twothree</i>four\nfivesix");

    dir.Write("html/f.htm", "");
    ScriptedRandom again{0.0f};
    EXPECT_EQ(ReadRandomFile(folder, again), "");
}

TEST(LineRule, CountsBeyond32767LinesFail) {
    ScratchFolder dir;
    const std::string folder = dir.Folder("html");
    const std::string quotes = dir.Write("q.txt", NumberedLines(32767));
    dir.Write("html/f.htm", NumberedLines(32767));
    ScriptedRandom last{std::nextafter(1.0f, 0.0f), 0.0f};
    EXPECT_EQ(ReadRandomLine(quotes, last), "line 32767");
    EXPECT_EQ(ReadRandomFile(folder, last).value_or("").size(), NumberedLines(32767).size() - 2 * 32767);

    dir.Write("q.txt", NumberedLines(32767) + "one more");
    dir.Write("html/f.htm", NumberedLines(32768));
    ScriptedRandom random{0.0f, 0.0f};
    EXPECT_FALSE(ReadRandomLine(quotes, random));
    EXPECT_FALSE(ReadRandomFile(folder, random));
}

TEST(DrawMapping, MapsSinglePrecisionDrawsOntoTheList) {
    EXPECT_EQ(DrawIndex(0.0f, 1), 0);
    EXPECT_EQ(DrawIndex(0.0f, 3), 0);
    EXPECT_EQ(DrawIndex(0.33f, 3), 0);
    EXPECT_EQ(DrawIndex(0.34f, 3), 1);
    EXPECT_EQ(DrawIndex(0.5f, 2), 1);
    const float justBelowOne = std::nextafter(1.0f, 0.0f);
    EXPECT_EQ(DrawIndex(justBelowOne, 3), 2);
    EXPECT_EQ(DrawIndex(justBelowOne, 32767), 32766);
    // A source that breaks its promise still cannot push a draw off the list.
    EXPECT_EQ(DrawIndex(1.0f, 32767), 32766);
    EXPECT_EQ(DrawIndex(-0.5f, 10), 0);
    EXPECT_EQ(DrawIndex(std::nanf(""), 10), 0);
    // Where single precision rounds r * n up to n, the last entry is taken.
    for (int n = 1; n <= 32767; ++n) ASSERT_LT(DrawIndex(justBelowOne, n), n) << n;
}

TEST(DrawMapping, RealGeneratorIsUniformAndReseedingDoesNotRestartIt) {
    TimeOfDayRandom random;
    constexpr int kBuckets = 10;
    constexpr int kDraws = 5000;
    std::vector<int> counts(kBuckets);
    std::set<float> distinct;
    for (int i = 0; i < kDraws; ++i) {
        const float r = random.ReseedAndDraw();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        distinct.insert(r);
        ++counts[static_cast<std::size_t>(DrawIndex(r, kBuckets))];
    }
    double chiSquare = 0;
    const double expected = static_cast<double>(kDraws) / kBuckets;
    for (int c : counts) chiSquare += (c - expected) * (c - expected) / expected;
    // Nine degrees of freedom: a uniform source exceeds 80 with a chance
    // below one in 10^12, a source stuck on some buckets exceeds it at once.
    EXPECT_LT(chiSquare, 80.0);
    // Thousands of draws fall within the same clock tick; were the sequence
    // restarted from the time, they would repeat each other.
    EXPECT_GT(distinct.size(), static_cast<std::size_t>(kDraws) * 9 / 10);
}

TEST(FolderFilter, ListsOnlyVisiblePlainFiles) {
    ScratchFolder dir;
    const std::string folder = dir.Folder("html");
    dir.Folder("html/sub");
    dir.Write("html/sub/inner.htm", "inner");
    dir.Write("html/b.htm", "B");
    dir.Write("html/a.htm", "A");
    dir.Write("html/no extension", "C");
#ifndef _WIN32
    dir.Write("html/.hidden", "hidden");
    // Links count as what they point at; one that points nowhere is no file
    // and does not spoil the listing.
    stdfs::create_symlink(dir.Path("html/sub"), dir.Path("html/link to folder"));
    stdfs::create_symlink(dir.Path("html/gone.htm"), dir.Path("html/dangling"));
    stdfs::create_symlink(dir.Path("html/sub/inner.htm"), dir.Path("html/y link.htm"));
#endif
    std::vector<std::string> names;
    ASSERT_TRUE(fs::ListPlainFiles(folder, names));
    std::set<std::string> expected{"a.htm", "b.htm", "no extension"};
#ifndef _WIN32
    expected.insert("y link.htm");
#endif
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);

    // Draws go over the names in byte order.
    ScriptedRandom random{0.0f, 0.4f, 0.7f};
    EXPECT_EQ(ReadRandomFile(folder, random), "A");
    EXPECT_EQ(ReadRandomFile(folder, random), "B");
    EXPECT_EQ(ReadRandomFile(folder, random), "C");

    // A file put into the folder is seen by the next draw.
    dir.Write("html/z.htm", "Z");
    ScriptedRandom later{0.99f};
    EXPECT_EQ(ReadRandomFile(folder, later), "Z");

    EXPECT_FALSE(fs::ListPlainFiles(dir.Path("missing"), names));
    EXPECT_FALSE(fs::ListPlainFiles("", names));
}

TEST(FolderFilter, FolderTextEndingInASeparatorGivesADoubledOne) {
    ScratchFolder dir;
    const std::string folder = dir.Folder("html");
    dir.Write("html/only.htm", "only");
    ScriptedRandom random{0.0f};
    EXPECT_EQ(ReadRandomFile(folder + fs::PathSeparator(), random), "only");
}

}  // namespace
}  // namespace tessaly::test

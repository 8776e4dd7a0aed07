// The samples that the first run points at: they must compose into a clean
// signature on any Windows code page, and survive the composer's rules (CR LF
// line ends, line breaks of HTML pieces dropped, placeholders found in any
// letter case).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compose/compose.h"

namespace {

namespace fs = std::filesystem;

const fs::path kBundleDir = TESSALY_BUNDLE_SOURCE_DIR;
const char* const kPlaceholders[] = {"quote1", "quote2", "htmPath1", "htmPath2"};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::size_t Count(const std::string& text, const std::string& word) {
    std::size_t n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++n;
    return n;
}

// Lines ended by CR LF, as the composer reads them.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<fs::path> FilesUnder(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> ShippedFiles() {
    std::vector<fs::path> files = FilesUnder(kBundleDir / "quotes");
    for (const auto& file : FilesUnder(kBundleDir / "samples")) files.push_back(file);
    return files;
}

// Draws from a fixed list, so a composition picks known entries.
class FixedDraws final : public tessaly::RandomSource {
public:
    explicit FixedDraws(float r) : r_(r) {}
    float ReseedAndDraw() override { return r_; }

private:
    float r_;
};

TEST(Samples, EveryFileHasWindowsLineEndsAndPlainAscii) {
    const auto files = ShippedFiles();
    ASSERT_GE(files.size(), 9U);
    for (const auto& file : files) {
        const std::string text = ReadAll(file);
        ASSERT_FALSE(text.empty()) << file;
        // A bare line feed would make the composer read a whole quote file
        // as one line; git or an editor converting the file shows up here.
        // Bytes are copied as they are: 7-bit text reads the same in every
        // ANSI code page.
        std::string problem;
        for (std::size_t i = 0; i < text.size() && problem.empty(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if (byte == '\n' && (i == 0 || text[i - 1] != '\r')) problem = "bare LF";
            if (byte == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) problem = "bare CR";
            if (byte != '\r' && byte != '\n' && (byte < 0x20 || byte >= 0x7F)) problem = "byte " + std::to_string(byte);
            if (!problem.empty()) problem += " at offset " + std::to_string(i);
        }
        EXPECT_EQ(problem, "") << file;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << file << " does not end its last line";
    }
}

TEST(Samples, QuotesAreAttributedOneALineAndHoldNoPlaceholder) {
    for (const char* name : {"quotes1.txt", "quotes2.txt"}) {
        const auto lines = Lines(ReadAll(kBundleDir / "quotes" / name));
        EXPECT_GE(lines.size(), 5U) << name;
        for (const auto& line : lines) {
            // A blank line is a quote too: it would empty the placeholder.
            EXPECT_FALSE(line.empty()) << name << " has a blank line";
            const auto dash = line.rfind("\" - ");
            EXPECT_TRUE(line.front() == '"' && dash != std::string::npos && dash + 4 < line.size())
                << name << ": not \"quotation\" - author: " << line;
            for (const char* word : kPlaceholders) {
                EXPECT_EQ(Lower(line).find(Lower(word)), std::string::npos) << name << ": " << line;
            }
            // Quotes land in an HTML template as they are.
            EXPECT_EQ(line.find_first_of("<>&"), std::string::npos) << name << ": " << line;
        }
    }
}

TEST(Samples, HtmlPiecesJoinCleanlyWhenTheirLineBreaksAreDropped) {
    for (const char* folder : {"html1", "html2"}) {
        const auto pieces = FilesUnder(kBundleDir / "samples" / folder);
        EXPECT_GE(pieces.size(), 2U) << folder;
        for (const auto& piece : pieces) {
            const std::string text = ReadAll(piece);
            const auto lines = Lines(text);
            for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
                // "Ltd." followed by "Phone" would read "Ltd.Phone".
                EXPECT_TRUE(!lines[i].empty() && !lines[i + 1].empty() &&
                            (lines[i].back() == '>' || lines[i + 1].front() == '<'))
                    << piece << ": lines " << i + 1 << " and " << i + 2 << " run together";
            }
            for (const char* word : kPlaceholders) {
                EXPECT_EQ(Lower(text).find(Lower(word)), std::string::npos) << piece << " holds " << word;
            }
            EXPECT_EQ(Count(text, "<"), Count(text, ">")) << piece << " has an unclosed tag";
        }
    }
}

TEST(Samples, TemplateUsesEachPlaceholderOnceInItsExactSpelling) {
    const std::string text = ReadAll(kBundleDir / "samples" / "template.htm");
    for (const char* word : kPlaceholders) {
        EXPECT_EQ(Count(text, word), 1U) << word;
        // Another spelling would be read but never replaced.
        EXPECT_EQ(Count(Lower(text), Lower(word)), 1U) << word << " appears in another letter case";
    }
}

TEST(Samples, ComposeIntoASignatureWithEveryPlaceholderFilled) {
    const fs::path out = fs::temp_directory_path() / "tessaly-samples-test-signature.htm";
    const auto quotes1 = Lines(ReadAll(kBundleDir / "quotes" / "quotes1.txt"));
    const auto quotes2 = Lines(ReadAll(kBundleDir / "quotes" / "quotes2.txt"));
    // The first and the last entry of every source.
    for (const float r : {0.0f, 0.9999f}) {
        fs::remove(out);
        FixedDraws draws(r);
        const tessaly::ComposePaths paths{
            (kBundleDir / "samples" / "template.htm").string(),
            out.string(),
            (kBundleDir / "quotes" / "quotes1.txt").string(),
            (kBundleDir / "quotes" / "quotes2.txt").string(),
            (kBundleDir / "samples" / "html1").string(),
            (kBundleDir / "samples" / "html2").string(),
        };
        ASSERT_TRUE(tessaly::ComposeSignature(paths, draws)) << "r = " << r;
        const std::string signature = ReadAll(out);
        for (const char* word : kPlaceholders) {
            EXPECT_EQ(Lower(signature).find(Lower(word)), std::string::npos) << word << " left, r = " << r;
        }
        const std::string& q1 = r == 0.0f ? quotes1.front() : quotes1.back();
        const std::string& q2 = r == 0.0f ? quotes2.front() : quotes2.back();
        EXPECT_NE(signature.find("<i>" + q1 + "</i>"), std::string::npos) << signature;
        EXPECT_NE(signature.find("<i>" + q2 + "</i>"), std::string::npos) << signature;
        EXPECT_EQ(signature.substr(signature.size() - 4), "\r\n\r\n") << "template's own line end, then the closing one";
    }
    fs::remove(out);
}

}  // namespace

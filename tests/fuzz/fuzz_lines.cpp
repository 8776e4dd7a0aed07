// Any bytes as a quote file or an HTML fragment, under either line rule and
// for any template encoding: the line drawn is the line of the converted
// text that the draw names, and a fragment comes back as its lines run
// together (Windows) or joined by LF (Linux). Any draw in [0, 1) names an
// entry inside the list.
#include <cmath>
#include <numeric>

#include "core/text_encoding.h"

#include "fuzz_support.h"

using namespace tessaly;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::BytesRandom random(in, 2), probe(in, 1);
    const int listSize = in.ConsumeIntegralInRange(1, 1 << 20);
    // About one input in a thousand, picked by its byte sum so that its
    // mutants seldom are too, repeats its text (up to 70,000 bytes) to reach
    // the line limit: 32,768 lines are too slow to run often. The sum also
    // picks the rules, so that the seeds keep their layout.
    const unsigned sum = std::accumulate(data, data + size, 0u);
    const bool repeat = sum % 1021 == 1;
    const unsigned choice = sum / 1021;
    const SourceRules rules{static_cast<text::Encoding>(choice % 3), (choice & 4) != 0,
                            choice & 8 ? LineEnds::Linux : LineEnds::Windows};
    const int copies = repeat ? in.ConsumeIntegralInRange(1, 40000) : 1;
    const std::string once = in.ConsumeRemainingBytesAsString();
    std::string text;
    for (int i = 0; i < copies && text.size() < 70000; ++i) text += once;

    // Single precision may round r * n up to n: the index must still fit,
    // and otherwise be floor(r * n) within that rounding.
    for (const float r : {probe.draws[0], std::nextafter(1.0f, 0.0f)}) {
        const int index = DrawIndex(r, listSize);
        const double exact = static_cast<double>(r) * listSize;
        Require(index >= 0 && index < listSize, "a draw below 1 names an entry of the list");
        Require(index > exact - 1.07 && index < exact + 0.07, "the entry drawn is floor(r * n)");
    }

    const std::vector<std::string> lines = fuzz::Lines(text::ConvertSource(text, rules.encoding, rules.html), rules.lineEnds);
    fuzz::Disk() = {{{"quotes.txt", text}, {"html/piece.htm", text}}, {"html"}};
    const auto line = ReadRandomLine("quotes.txt", random, nullptr, rules);
    Require(line.has_value() == (!lines.empty() && lines.size() <= fuzz::kMaxLines),
            "a quote file fails only when empty or too long");
    Require(!line || line->find('\r') == std::string::npos, "a line holds no CR");
    Require(!line || rules.lineEnds == LineEnds::Windows || line->find('\n') == std::string::npos,
            "under the Linux rule a line holds no LF");
    Require(!line || *line == lines[static_cast<std::size_t>(DrawIndex(random.draws[0], static_cast<int>(lines.size())))],
            "the line drawn is the one the draw names, in file order");
    const auto piece = ReadRandomFile("html", random, nullptr, rules);
    Require(piece.has_value() == (lines.size() <= fuzz::kMaxLines), "a fragment fails only when too long");
    Require(!piece || *piece == fuzz::Fragment(lines, rules.lineEnds),
            "a fragment is its lines run together, or joined by LF under the Linux rule");
    return 0;
}

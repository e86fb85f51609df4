// The preferences line filter on its own: how bytes become lines, which lines go, and
// that the lines which stay come out byte for byte. Portable: also built natively.
#include "engine/catalogue/PrefsFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace std::string_literals;

namespace {

const std::string kHistoryLine = "user_pref(\"browser.url_history.URL_1\", \"http://example.test/\");";
const std::string kOtherLine = "user_pref(\"browser.startup.homepage\", \"about:blank\");";

// The filter fed one byte at a time, so every line end and CR falls on a chunk edge.
std::string FilterByteByByte(const std::string& input)
{
    CPrefsLineFilter filter;
    std::string out;
    for (char c : input)
        filter.Feed(std::string_view(&c, 1), out);
    filter.Finish(out);
    return out;
}

// The filter fed in chunks of one size, its output written away after each as the
// rewrite does; notes the most it held and the most one chunk gave.
struct ChunkedRun {
    std::string output;
    std::size_t mostHeld = 0;
    std::size_t mostPerChunk = 0;
};

ChunkedRun FilterInChunks(std::string_view input, std::size_t chunkSize)
{
    CPrefsLineFilter filter;
    ChunkedRun run;
    std::string out;
    for (std::size_t at = 0; at < input.size(); at += chunkSize) {
        filter.Feed(input.substr(at, chunkSize), out);
        run.mostHeld = std::max(run.mostHeld, filter.HeldBytes());
        run.mostPerChunk = std::max(run.mostPerChunk, out.size());
        run.output += out;
        out.clear();
    }
    filter.Finish(out);
    run.output += out;
    return run;
}

// What the filter may hold at most: the longest undecided start, with room for the
// string to grow by doubling.
constexpr std::size_t kHeldBound = 2 * (kMaxLeadingSpace + kUrlHistoryPrefix.size());

} // namespace

TEST(PrefsFilter, ReadsLinesAsATextStreamAndWritesCrLf)
{
    // LF ends a line and the CR right before it goes; any other CR is part of the line.
    EXPECT_EQ(FilterPrefsText("a\r\nb\nc"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(FilterPrefsText("a\rb\r\r\n"), "a\rb\r\r\n\r\n");
    EXPECT_EQ(FilterPrefsText("a\r"), "a\r\r\n");
    EXPECT_EQ(FilterPrefsText("\n\n"), "\r\n\r\n\r\n");
}

TEST(PrefsFilter, AddsOneEmptyLineOnlyWhenTheInputEndsWithALineEnd)
{
    EXPECT_EQ(FilterPrefsText(kOtherLine + "\n"), kOtherLine + "\r\n\r\n");
    EXPECT_EQ(FilterPrefsText(kOtherLine), kOtherLine + "\r\n");
    EXPECT_EQ(FilterPrefsText(kHistoryLine), "");
    EXPECT_EQ(FilterPrefsText(""), "\r\n");
}

TEST(PrefsFilter, DropsHistoryLinesWhateverTheirCaseOrIndent)
{
    const std::string input = kHistoryLine + "\r\n" + kOtherLine + "\r\n" +
                              "  USER_PREF(\"BROWSER.URL_HISTORY.URL_2\", \"x\");\r\n" +
                              " \t\v\f\ruser_pref(\"Browser.Url_History.\r\n";
    EXPECT_EQ(FilterPrefsText(input), kOtherLine + "\r\n\r\n");
}

TEST(PrefsFilter, KeepsLinesThatOnlyResembleTheHistory)
{
    const std::string lookalikes[] = {
        "user_pref(\"browser.url_history\", 1);", // the name without its final full stop
        "user_pref(\"browser.url_history",        // shorter than the prefix
        "// user_pref(\"browser.url_history.URL_1\", \"x\");",
        "user_pref( \"browser.url_history.URL_1\", \"x\");",
        "user_pref(\"browser.url_history\0URL_1\", \"x\");"s,      // a NUL inside the prefix
        "user_pref(\"browser.url\xC4\xB0history.URL_1\", \"x\");", // bytes above 127 are never case-folded
        "\xA0user_pref(\"browser.url_history.URL_1\", \"x\");",    // not white space in the C locale
        "   ",
    };
    for (const std::string& line : lookalikes)
        EXPECT_EQ(FilterPrefsText(line + "\n" + kHistoryLine), line + "\r\n") << line;
}

TEST(PrefsFilter, KeepsLongLinesAndBinaryBytesWhole)
{
    const std::string longLine = "user_pref(\"mail.signature\", \"" + std::string(5000, 'x') + "\");";
    const std::string hugeHistory = kHistoryLine + std::string(100000, 'h');
    std::string binary = "user_pref(\"bytes\", \"";
    for (int b = 0; b < 256; ++b) {
        if (b != '\n')
            binary += static_cast<char>(b);
    }
    binary += "\");";

    const std::string input = longLine + "\r\n" + hugeHistory + "\r\n" + binary + "\r\n" + kOtherLine;
    const std::string expected = longLine + "\r\n" + binary + "\r\n" + kOtherLine + "\r\n";
    EXPECT_EQ(FilterPrefsText(input), expected);
    EXPECT_EQ(FilterByteByByte(input), expected);
}

TEST(PrefsFilter, GivesTheSameResultHoweverTheInputIsChunked)
{
    const std::string input =
        kHistoryLine + "\r\n" + kOtherLine + "\r\r\n\r\n" + "  " + kHistoryLine + "\n" + kOtherLine + "\r";
    EXPECT_EQ(FilterByteByByte(input), FilterPrefsText(input));

    // A filter that has finished one input starts the next afresh.
    CPrefsLineFilter filter;
    std::string out;
    filter.Feed("first", out);
    filter.Finish(out);
    filter.Feed("second\n", out);
    filter.Finish(out);
    EXPECT_EQ(out, "first\r\nsecond\r\n\r\n");
}

TEST(PrefsFilter, StreamsLinesFarLongerThanWhatItHolds)
{
    const std::size_t kHuge = 8 << 20;
    const std::string keptLine = "user_pref(\"big\", \"" + std::string(kHuge, 'k') + "\");";
    const std::string input = keptLine + "\r\n" + kHistoryLine + std::string(kHuge, 'h') + "\r\n" + kOtherLine;

    const ChunkedRun run = FilterInChunks(input, 4096);

    EXPECT_TRUE(run.output == keptLine + "\r\n" + kOtherLine + "\r\n"); // not printed: megabytes
    EXPECT_LE(run.mostHeld, kHeldBound);
    EXPECT_LE(run.mostPerChunk, 4096 + kHeldBound);
}

TEST(PrefsFilter, KeepsAHistoryLineBehindMoreLeadingSpaceThanItHolds)
{
    const std::string withinBound = std::string(kMaxLeadingSpace - 1, ' ') + "\t" + kHistoryLine;
    const std::string beyondBound = std::string(kMaxLeadingSpace, ' ') + "\t" + kHistoryLine;
    EXPECT_EQ(FilterPrefsText(withinBound + "\n" + kOtherLine), kOtherLine + "\r\n");
    EXPECT_EQ(FilterPrefsText(beyondBound + "\n" + kOtherLine), beyondBound + "\r\n" + kOtherLine + "\r\n");

    // Nothing but white space, far beyond the bound, comes out whole.
    const std::string blanks(4 * kMaxLeadingSpace, ' ');
    const ChunkedRun run = FilterInChunks(blanks + "\r\n" + kHistoryLine, 1000);
    EXPECT_TRUE(run.output == blanks + "\r\n");
    EXPECT_LE(run.mostHeld, kHeldBound);
}

TEST(PrefsFilter, TellsALineEndFromACarriageReturnAcrossChunks)
{
    // The CR ends one chunk of a line already being written out, its fate in the next.
    const std::string longLine = kOtherLine + std::string(100, 'x');
    // An input that ends with a line end gains an empty line.
    const std::pair<std::string, std::string> cases[] = {
        {longLine + "\r\n", longLine + "\r\n\r\n"},     // CR LF: the line end
        {longLine + "\r\r\n", longLine + "\r\r\n\r\n"}, // the first CR is the line's
        {longLine + "\rx\n", longLine + "\rx\r\n\r\n"}, // a CR inside the line
        {longLine + "\r", longLine + "\r\r\n"},         // a CR at the end of the input
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(FilterInChunks(input, input.find('\r') + 1).output, expected) << input.substr(longLine.size());
}

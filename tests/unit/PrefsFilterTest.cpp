// The preferences line filter on its own: how bytes become lines, which lines go, and
// that the lines which stay come out byte for byte. Portable: also built natively.
#include "engine/PrefsFilter.h"

#include <gtest/gtest.h>

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

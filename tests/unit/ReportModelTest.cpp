#include "ui/ReportModel.h"

#include <gtest/gtest.h>

namespace {

std::wstring Line(wchar_t c, size_t length) { return std::wstring(length - 2, c) + L"\r\n"; }

// A report of `lines` lines of 10 characters (8 + "\r\n"), the first one "START...".
CReportModel ReportOfLines(int lines)
{
    CReportModel model;
    model.Append(L"START123\r\n");
    for (int i = 1; i < lines; ++i)
        model.Append(Line(static_cast<wchar_t>(L'a' + i % 26), 10));
    return model;
}

} // namespace

TEST(ReportModel, TrimsWhenTheNewTextReachesTheLimit)
{
    CReportModel model = ReportOfLines(2999); // 29990 characters
    ASSERT_EQ(model.Text().size(), 29990u);
    const std::wstring before = model.Text();

    CReportModel notTrimmed = model;
    notTrimmed.Append(std::wstring(7, L'x') + L"\r\n"); // 9 characters: 29999
    EXPECT_EQ(notTrimmed.Text(), before + L"xxxxxxx\r\n");

    model.Append(std::wstring(8, L'y') + L"\r\n"); // 10 characters: 30000 is reached
    const std::wstring& text = model.Text();
    EXPECT_EQ(text.substr(0, 15), L"START123\r\n...\r\n");
    // Lines 1 to 49 (49 lines of 10) gave way to "...\r\n" (5).
    EXPECT_EQ(text.size(), 29990u - 490 + 5 + 10);
    EXPECT_EQ(text.substr(text.size() - 10), L"yyyyyyyy\r\n");
    EXPECT_NE(model.Generation(), notTrimmed.Generation());
}

TEST(ReportModel, AShortReportLosesEverythingButItsFirstLine)
{
    CReportModel model;
    model.Append(L"first\r\nsecond\r\nthird\r\n");
    model.Append(std::wstring(30000, L'z'));
    EXPECT_EQ(model.Text(), L"first\r\n...\r\n" + std::wstring(30000, L'z'));
}

TEST(ReportModel, OneLongLineWithoutLineEndKeepsItAndAddsTheMarkerAtTheEnd)
{
    CReportModel model;
    model.Append(std::wstring(29999, L'q'));
    model.Append(L"!\r\n");
    EXPECT_EQ(model.Text(), std::wstring(29999, L'q') + L"...\r\n!\r\n");
}

TEST(ReportModel, ClearEmptiesAndMarksAChange)
{
    CReportModel model = ReportOfLines(3);
    const auto generation = model.Generation();
    model.Clear();
    EXPECT_TRUE(model.Text().empty());
    EXPECT_NE(model.Generation(), generation);
}

#include "ui/ReportModel.h"

namespace {
const std::wstring kTrimMarker = L"...\r\n";
}

long CReportModel::LineIndex(int line) const
{
    std::size_t at = 0;
    for (int i = 0; i < line; ++i) {
        std::size_t end = m_text.find(L"\r\n", at);
        if (end == std::wstring::npos)
            return -1;
        at = end + 2;
    }
    return static_cast<long>(at);
}

void CReportModel::Append(const std::wstring& text)
{
    if (m_text.size() + text.size() >= kTrimLength) {
        const long start = LineIndex(1);
        const long end = LineIndex(50);
        if (start < 0) {
            // One long line: nothing to select, so the marker lands at the caret, the end.
            m_text += kTrimMarker;
        } else {
            const std::size_t stop = end < 0 ? m_text.size() : static_cast<std::size_t>(end);
            m_text.replace(static_cast<std::size_t>(start), stop - static_cast<std::size_t>(start), kTrimMarker);
        }
        ++m_generation;
    }
    m_text += text;
}

void CReportModel::Clear()
{
    m_text.clear();
    ++m_generation;
}

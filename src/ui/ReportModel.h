#pragma once
// The report's text, kept apart from the edit control that shows it, so a run can
// append thousands of lines without paying for a control update per line.
//
// The text follows the control's rules exactly: lines end in "\r\n"; when the text
// would reach 30000 characters, lines 2 to 50 give way to one line "..." while the
// first line (the run's start line) stays. Not thread-safe: the owner locks.
#include <cstddef>
#include <cstdint>
#include <string>

class CReportModel {
public:
    static constexpr std::size_t kTrimLength = 30000;

    void Append(const std::wstring& text);
    void Clear();

    const std::wstring& Text() const { return m_text; }
    // Changes whenever the text changed other than by appending (a clear or a trim),
    // so a view knows when it must show the text afresh.
    std::uint64_t Generation() const { return m_generation; }

private:
    // The character index where line `line` (from 0) starts, or -1 when it does not exist.
    long LineIndex(int line) const;

    std::wstring m_text;
    std::uint64_t m_generation = 0;
};

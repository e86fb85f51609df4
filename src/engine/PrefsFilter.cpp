// The preferences line filter: text-stream line splitting, the URL-history prefix test
// and the rewrite of the lines that stay.
#include "engine/PrefsFilter.h"

#include <cstring>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The C library's white space in the "C" locale.
bool IsLeadingSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Folds only A to Z, so bytes of other scripts never compare equal by accident.
char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool IsUrlHistoryLine(std::string_view line)
{
    std::size_t at = 0;
    while (at < line.size() && IsLeadingSpace(line[at]))
        ++at;
    if (line.size() - at < kUrlHistoryPrefix.size())
        return false;
    for (std::size_t i = 0; i < kUrlHistoryPrefix.size(); ++i) {
        if (AsciiLower(line[at + i]) != kUrlHistoryPrefix[i])
            return false;
    }
    return true;
}

void CPrefsLineFilter::Feed(std::string_view chunk, std::string& out)
{
    while (!chunk.empty()) {
        const void* found = std::memchr(chunk.data(), '\n', chunk.size());
        if (!found) {
            m_line.append(chunk);
            return;
        }
        const std::size_t length = static_cast<const char*>(found) - chunk.data();
        m_line.append(chunk.substr(0, length));
        if (!m_line.empty() && m_line.back() == '\r')
            m_line.pop_back();
        EndLine(out);
        chunk.remove_prefix(length + 1);
    }
}

void CPrefsLineFilter::Finish(std::string& out)
{
    EndLine(out);
}

void CPrefsLineFilter::EndLine(std::string& out)
{
    if (!IsUrlHistoryLine(m_line)) {
        out += m_line;
        out += kLineEnd;
    }
    m_line.clear();
}

std::string FilterPrefsText(std::string_view input)
{
    CPrefsLineFilter filter;
    std::string out;
    filter.Feed(input, out);
    filter.Finish(out);
    return out;
}

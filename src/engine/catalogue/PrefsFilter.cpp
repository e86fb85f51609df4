// The preferences line filter: text-stream line splitting, the URL-history prefix test
// and the rewrite of the lines that stay.
#include "engine/catalogue/PrefsFilter.h"

#include "sys/NameCase.h"

#include <cstring>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The C library's white space in the "C" locale.
bool IsLeadingSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

bool IsUrlHistoryLine(std::string_view line)
{
    std::size_t at = 0;
    while (at < line.size() && IsLeadingSpace(line[at]))
        ++at;
    return at <= kMaxLeadingSpace && StartsWithIgnoringAsciiCase(line.substr(at), kUrlHistoryPrefix);
}

void CPrefsLineFilter::Feed(std::string_view chunk, std::string& out)
{
    while (!chunk.empty()) {
        const void* found = std::memchr(chunk.data(), '\n', chunk.size());
        const std::size_t length = found ? static_cast<const char*>(found) - chunk.data() : chunk.size();
        TakeLinePart(chunk.substr(0, length), out);
        if (!found)
            return;
        EndLine(true, out);
        chunk.remove_prefix(length + 1);
    }
}

void CPrefsLineFilter::Finish(std::string& out)
{
    EndLine(false, out);
}

// part: bytes of the current line, without a line feed.
void CPrefsLineFilter::TakeLinePart(std::string_view part, std::string& out)
{
    if (m_fate == Fate::Undecided)
        part.remove_prefix(TakeStart(part, out));
    if (m_fate == Fate::Kept)
        Stream(part, out);
    // The rest of a dropped line goes nowhere.
}

// Holds the line's first bytes until they decide its fate: its leading white space, then
// as many bytes as the prefix has. Returns how many of `part` it took.
std::size_t CPrefsLineFilter::TakeStart(std::string_view part, std::string& out)
{
    std::size_t used = 0;
    bool decided = false;
    while (!decided && used < part.size()) {
        if (m_spaceRun == m_start.size() + used && IsLeadingSpace(part[used]))
            ++m_spaceRun;
        ++used;
        decided = m_spaceRun > kMaxLeadingSpace || m_start.size() + used - m_spaceRun == kUrlHistoryPrefix.size();
    }
    m_start.append(part.substr(0, used));
    if (decided) {
        if (m_spaceRun <= kMaxLeadingSpace &&
            StartsWithIgnoringAsciiCase(std::string_view(m_start).substr(m_spaceRun), kUrlHistoryPrefix))
            m_fate = Fate::Dropped;
        else
            Keep(out);
    }
    return used;
}

void CPrefsLineFilter::Keep(std::string& out)
{
    m_fate = Fate::Kept;
    Stream(m_start, out);
    m_start.clear();
}

// Writes bytes of a kept line, all but a final CR: whether that belongs to the line
// depends on the byte after it, which may come with the next chunk.
void CPrefsLineFilter::Stream(std::string_view part, std::string& out)
{
    if (part.empty())
        return;
    if (m_heldCr)
        out += '\r';
    m_heldCr = part.back() == '\r';
    if (m_heldCr)
        part.remove_suffix(1);
    out.append(part);
}

void CPrefsLineFilter::EndLine(bool atLineFeed, std::string& out)
{
    // A line that ends before its start decided anything is too short to be history.
    if (m_fate == Fate::Undecided)
        Keep(out);
    if (m_fate == Fate::Kept) {
        if (m_heldCr && !atLineFeed)
            out += '\r';
        out += kLineEnd;
    }
    m_fate = Fate::Undecided;
    m_start.clear();
    m_spaceRun = 0;
    m_heldCr = false;
}

std::string FilterPrefsText(std::string_view input)
{
    CPrefsLineFilter filter;
    std::string out;
    filter.Feed(input, out);
    filter.Finish(out);
    return out;
}

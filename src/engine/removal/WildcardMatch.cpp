#include "engine/removal/WildcardMatch.h"

#include "sys/NameCase.h"

namespace {

// The length of the UTF-8 character that starts at `at`, so "?" stands for one character.
std::size_t CharLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    while (length > 1 && (at + length > text.size()))
        --length;
    return length;
}

} // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern)
{
    if (pattern == "*" || pattern == "*.*")
        return true;
    // Greedy match with one backtracking point (the last "*"): linear in practice, and
    // never worse than name length times pattern length.
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += CharLength(name, n);
        } else if (p < pattern.size() && SameNameIgnoringCase(pattern.substr(p, CharLength(pattern, p)),
                                                              name.substr(n, CharLength(name, n)))) {
            p += CharLength(pattern, p);
            n += CharLength(name, n);
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            resumeAt += CharLength(name, resumeAt);
            n = resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

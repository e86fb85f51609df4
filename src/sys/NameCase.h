#pragma once
// Text helpers for names. Letter case as Windows compares file and registry key names:
// ordinal, every character upper-cased by the system's own table, whatever the user's
// language; "ÜBER.TXT" and "über.txt" name one file, so do "Mıcrosoft" and "Microsoft"
// one key. And an ASCII fold, A to Z only, for the program's own words (switches, rule
// keywords, value names) and for set keys that need only agree with themselves: it never
// depends on the user's locale, and bytes of other scripts never fold into ASCII.
#include <algorithm>
#include <string>
#include <string_view>

// True when the two UTF-8 texts are the same name, letter case ignored (the Win32 build).
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text with the letters A to Z in lower case.
inline std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), AsciiLower);
    return text;
}

// The text with the letters a to z in upper case.
inline std::string Uppered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

inline bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

inline bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

inline bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && SameIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// True when the text holds "*" or "?", the characters a file pattern gives a meaning.
inline bool HasWildcard(std::string_view text)
{
    return text.find_first_of("*?") != std::string_view::npos;
}

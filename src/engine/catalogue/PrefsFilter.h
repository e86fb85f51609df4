#pragma once
// The line filter of the Netscape preferences rewrite, apart from any file or system
// call so it can be tested and fuzzed on its own.
//
// Usage:
//   CPrefsLineFilter filter;
//   for (each chunk read from prefs.js) { filter.Feed(chunk, out); write out; out.clear(); }
//   filter.Finish(out); write out;
//
// The input is read as a text stream: a line feed ends a line, and a carriage return
// right before it is not part of the line. Lines may be of any length and hold any
// byte, NULs included. Every line that is not a URL-history line is written unchanged
// followed by CR LF. The part after the last line feed counts as a line too, so an
// input that ends with a line end gains one empty line, just as a copy made with
// line-by-line text-stream reads does.
//
// The filter holds only the start of a line, until that start decides whether the line
// stays; the rest of the line then goes straight to `out` or nowhere. So what a line
// costs in memory is bounded, however long it is.
#include <cstddef>
#include <string>
#include <string_view>

// Netscape 4.x keeps its address history in preferences whose names start with this.
inline constexpr std::string_view kUrlHistoryPrefix = "user_pref(\"browser.url_history.";

// The most leading white space a URL-history line may have. No real one has any to
// speak of, and without a bound a hostile file of blanks alone would all have to be
// held while the filter waits to see what follows them; a line with more is kept.
inline constexpr std::size_t kMaxLeadingSpace = 64 * 1024;

// True when the line, after at most kMaxLeadingSpace bytes of leading white space,
// begins with kUrlHistoryPrefix, ignoring the case of the letters A to Z.
bool IsUrlHistoryLine(std::string_view line);

class CPrefsLineFilter {
public:
    // Appends to `out` what this chunk contributes to the rewrite.
    void Feed(std::string_view chunk, std::string& out);
    // Ends the input and appends what its last line contributes. The filter is then
    // ready for a new input.
    void Finish(std::string& out);

    // The memory the filter holds between calls, in bytes.
    std::size_t HeldBytes() const { return m_start.capacity(); }

private:
    enum class Fate { Undecided, Kept, Dropped };

    void TakeLinePart(std::string_view part, std::string& out);
    std::size_t TakeStart(std::string_view part, std::string& out);
    void Keep(std::string& out);
    void Stream(std::string_view part, std::string& out);
    void EndLine(bool atLineFeed, std::string& out);

    Fate m_fate = Fate::Undecided;
    std::string m_start;        // the start of an undecided line
    std::size_t m_spaceRun = 0; // how much of m_start is leading white space
    bool m_heldCr = false;      // a kept line's last byte so far is a CR, which a line feed next would remove
};

// The whole rewrite of an input held in memory.
std::string FilterPrefsText(std::string_view input);

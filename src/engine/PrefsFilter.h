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
// byte, NULs included. Every line that does not begin with the URL-history prefix is
// written unchanged followed by CR LF. The part after the last line feed counts as a
// line too, so an input that ends with a line end gains one empty line, just as a
// copy made with line-by-line text-stream reads does.
#include <string>
#include <string_view>

// Netscape 4.x keeps its address history in preferences whose names start with this.
inline constexpr std::string_view kUrlHistoryPrefix = "user_pref(\"browser.url_history.";

// True when the line, after its leading white space, begins with kUrlHistoryPrefix,
// ignoring the case of the letters A to Z.
bool IsUrlHistoryLine(std::string_view line);

class CPrefsLineFilter {
public:
    // Appends to `out` what the lines completed by this chunk contribute to the rewrite.
    void Feed(std::string_view chunk, std::string& out);
    // Ends the input and appends what its last line contributes. The filter is then
    // ready for a new input.
    void Finish(std::string& out);

private:
    void EndLine(std::string& out);

    std::string m_line; // the bytes of the line not yet ended
};

// The whole rewrite of an input held in memory.
std::string FilterPrefsText(std::string_view input);

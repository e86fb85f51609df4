#pragma once
// The system's wildcard rules, applied to a file's long name only: the directory
// search also matches the generated 8.3 short name ("*.tmp" finds "note.tmpl" by its
// short name "NOTE~1.TMP"), which would remove files no pattern names.
#include <string_view>

// True when the name matches the pattern: "*" stands for any run of characters, "?" for
// exactly one, letter case is ignored as in file names, and "*" and "*.*" match every name.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

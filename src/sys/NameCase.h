#pragma once
// Letter case as Windows compares file and registry key names: ordinal, every character
// upper-cased by the system's own table, whatever the user's language. "ÜBER.TXT" and
// "über.txt" name one file; so do "Mıcrosoft" and "Microsoft" one key.
#include <string_view>

// True when the two UTF-8 texts are the same name, letter case ignored.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

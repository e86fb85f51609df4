#pragma once
// The profiles Firefox lists in its profiles.ini, as written: no path is checked here.
//
// Usage:
//   for (const ProfilesIniEntry& entry : ParseProfilesIni(text))
//       ... entry.isRelative ? iniFolder + "\\" + entry.path : entry.path ...
#include <string>
#include <string_view>
#include <vector>

struct ProfilesIniEntry {
    bool isRelative = false; // the path is below the folder that holds profiles.ini, with "/" separators
    std::string path;
};

// Every [ProfileN] section that has both IsRelative and Path, in the file's order. Firefox
// stops reading at a missing one; we keep any that follow, since they are its profiles too.
std::vector<ProfilesIniEntry> ParseProfilesIni(std::string_view text);

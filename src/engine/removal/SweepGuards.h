#pragma once
// Whether a sweep may start at a folder. Folders are compared by what they are (their
// volume and file index), never by how they are spelled, so no spelling of a volume
// root or of the Windows, system or profile folder (an 8.3 name, a device path, a
// path through a link) passes.
#include "sys/Platform.h"

#include <optional>
#include <string>
#include <vector>

// Which file or folder the path stands for; nothing when it cannot be opened.
std::optional<FileInfo> Identity(CPlatform& sys, const std::string& path);

enum class SweepStart {
    Allowed,
    Missing,      // not there, or not a folder
    Link,         // a link or junction: it leads outside what the location names
    VolumeRoot,   // the top of a volume
    Protected,    // the Windows, system or profile folder, or a folder above one of them
    Unidentified, // cannot be opened, so it cannot be told apart from a protected folder
};

// literalFolder: absolute, in the "\\?\" form, ending in a backslash. The identity checks
// apply only when the whole folder is to be emptied (wholeFolder); a sweep for one
// pattern may go over any folder.
SweepStart CheckSweepStart(CPlatform& sys, const std::string& literalFolder, bool wholeFolder);

// "*" and "*.*" match every name.
bool MatchesEverything(const std::string& pattern);
bool MatchesEverything(const std::vector<std::string>& patterns);

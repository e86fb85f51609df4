#pragma once
// What one folder sweep removes, beyond the plain (folder, pattern, recurse) of the
// catalogue: several patterns in one walk, the emptied folders, files it must keep,
// and whether a refused starting folder is worth a report line.
#include <functional>
#include <string>
#include <vector>

struct SweepOptions {
    std::vector<std::string> patterns; // long names; "*" or "*.*" matches every name
    bool recurse = false;
    bool removeSubfolders = false; // each subfolder once its walk is done
    bool removeSelf = false;       // the starting folder too, when it ends empty
    // An INFO line for a starting folder that is a volume root or not a full path.
    bool reportEveryRefusal = false;
    // Passed over when this run has already swept the same folder (by whatever name) so:
    // TEMP and TMP usually name one folder.
    bool oncePerRun = false;
    // A file (shown path) the sweep must leave; its folder is then kept, without a line.
    std::function<bool(const std::string&)> keeps;
};

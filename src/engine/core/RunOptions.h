#pragma once
// What one cleaning run does, decided by whoever starts it: the window and the console
// read the user's stored choice (settings/StoredRunOptions.h); a caller may also choose its own.
#include <optional>
#include <string>
#include <vector>

// The six option switches.
struct OptionSwitches {
    bool newsgroups = true;
    bool cookies = true;
    bool favorites = false;
    bool wipeClean = false;
    bool resetScores = false;
    // Overwrite the free space of every fixed drive at the end of the run: long, so no level sets it.
    bool wipeFreeSpace = false;

    bool operator==(const OptionSwitches&) const = default;
};

struct RunOptions {
    OptionSwitches switches = {};
    // Walk the same targets and report what a run would do, changing nothing: no file,
    // folder, registry value, restart list or setting.
    bool preview = false;
    // The rule entries to run, by name; the others are not run.
    std::vector<std::string> rules = {};
    // Only those entries run: the catalogue's own places and lists are left alone.
    bool rulesOnly = false;
    // The folder searched for winapp2.ini and Rules\*.ini besides the built-in rules.
    std::string rulesFolder = {};
    // The sites whose cookies and site data stay. Empty: none. No value: the stored list
    // could not be read, and nothing that the list decides is touched.
    std::optional<std::vector<std::string>> keepSites = std::vector<std::string>{};
};

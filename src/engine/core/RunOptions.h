#pragma once
// What one cleaning run does, decided by whoever starts it: the window reads the
// user's stored choice with ReadRunOptions; a caller may also choose its own.
#include "settings/LevelLogic.h"
#include "settings/SettingsStore.h"

#include <string>
#include <vector>

// Where the chosen rule entries are stored: one REG_DWORD of 1 per entry, named as the entry.
inline constexpr const char* kRulesSection = "Rules";

struct RunOptions {
    OptionSwitches switches;
    // Walk the same targets and report what a run would do, changing nothing: no file,
    // folder, registry value, restart list or setting.
    bool preview = false;
    // The rule entries to run, by name; the others are not run.
    std::vector<std::string> rules;
    // Only those entries run: the catalogue's own places and lists are left alone.
    bool rulesOnly = false;
    // The folder searched for winapp2.ini and Rules\*.ini besides the built-in rules.
    std::string rulesFolder;
};

// The switches as the stored choice reads (LoadOptions, as every window shows it), the
// entries chosen under "Rules", and the program's folder for the rule files.
RunOptions ReadRunOptions(const CSettingsStore& store);

#pragma once
// What one cleaning run does, decided by whoever starts it: the window reads the
// user's stored choice with ReadRunOptions; a caller may also choose its own.
#include "settings/LevelLogic.h"
#include "settings/SettingsStore.h"

struct RunOptions {
    OptionSwitches switches;
    // Walk the same targets and report what a run would do, changing nothing: no file,
    // folder, registry value, restart list or setting.
    bool preview = false;
};

// The switches as stored under "Options" (each with its default when absent).
RunOptions ReadRunOptions(const CSettingsStore& store);

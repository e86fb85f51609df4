#pragma once
// The cleaning levels: four presets over the six option switches, and how they are
// loaded and stored. No window code here, so every rule of the levels can be checked
// as a plain function.
//
// Usage:
//   OptionSwitches boxes = ApplyLevel(kThorough, boxes);       // a level was chosen
//   int level = DeriveLevel(boxes);                           // a box was changed
//   LoadedOptions loaded = LoadOptions(CSettingsStore());
//   StoreOptions(CSettingsStore(), level, boxes);              // on OK
#include "engine/core/RunOptions.h"
#include "settings/SettingsStore.h"

#include <string>

// Slider positions, top to bottom.
inline constexpr int kThorough = 1;
inline constexpr int kStandard = 2;
inline constexpr int kBasic = 3;
inline constexpr int kCustom = 4;

// The six switches, each by its name under "Options" in the settings store, in the order
// they are read and listed everywhere (the Options dialog's boxes follow it row for row).
struct SwitchRow {
    const char* name;
    bool OptionSwitches::*member;
};
inline constexpr SwitchRow kSwitches[] = {
    {"DeleteNewsgroupSubscriptions", &OptionSwitches::newsgroups},
    {"DeleteCookies", &OptionSwitches::cookies},
    {"DeleteFavorites", &OptionSwitches::favorites},
    {"WipeClean", &OptionSwitches::wipeClean},
    {"ResetGameScores", &OptionSwitches::resetScores},
    {"WipeFreeSpace", &OptionSwitches::wipeFreeSpace},
};

// The switches after choosing the level at `position`; Custom, and any position
// outside the four, keeps `current`.
OptionSwitches ApplyLevel(int position, const OptionSwitches& current);

// The level whose preset the switches match, Custom when none does.
int DeriveLevel(const OptionSwitches& switches);

// "Thorough", "Standard", "Basic", "Custom"; the empty text for any other position.
std::string LevelName(int position);

// The position of a stored name, ignoring ASCII letter case; Standard for any
// name that is none of the four, the empty name included.
int LevelFromName(const std::string& name);

struct LoadedOptions {
    int position = kStandard;
    OptionSwitches switches;
};

// The one reading of the stored choice, for the window, the Options dialog, the console
// and the run alike. The stored switches decide; one that is absent takes the stored
// level's value (Custom, or no level, takes the defaults). The level is the stored one
// while the switches match it; a stored name that disagrees with them reads as Custom.
LoadedOptions LoadOptions(const CSettingsStore& store);

// Stores the level's name and the six switches, each attempted even after a failure;
// false when any write failed.
bool StoreOptions(const CSettingsStore& store, int position, const OptionSwitches& switches);

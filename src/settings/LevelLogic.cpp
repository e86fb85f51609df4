#include "settings/LevelLogic.h"

#include "sys/NameCase.h"

#include <array>

namespace {

constexpr const char* kSection = "Options";
constexpr const char* kLevelEntry = "TypeOfPurgix";

constexpr std::array<const char*, 4> kLevelNames = {"Thorough", "Standard", "Basic", "Custom"};

constexpr OptionSwitches kThoroughPreset{true, true, true, true, true};
constexpr OptionSwitches kStandardPreset{true, true, false, false, false};
constexpr OptionSwitches kBasicPreset{false, false, false, false, false};

} // namespace

OptionSwitches ApplyLevel(int position, const OptionSwitches& current)
{
    switch (position) {
    case kThorough:
        return kThoroughPreset;
    case kStandard:
        return kStandardPreset;
    case kBasic:
        return kBasicPreset;
    default:
        return current;
    }
}

int DeriveLevel(const OptionSwitches& switches)
{
    if (switches == kThoroughPreset)
        return kThorough;
    if (switches == kStandardPreset)
        return kStandard;
    if (switches == kBasicPreset)
        return kBasic;
    return kCustom;
}

std::string LevelName(int position)
{
    return position >= kThorough && position <= kCustom ? kLevelNames[static_cast<size_t>(position - 1)] : "";
}

int LevelFromName(const std::string& name)
{
    for (int position : {kThorough, kBasic, kCustom}) {
        if (SameIgnoringAsciiCase(name, kLevelNames[static_cast<size_t>(position - 1)]))
            return position;
    }
    return kStandard;
}

LoadedOptions LoadOptions(const CSettingsStore& store)
{
    const int named = LevelFromName(store.ReadSettingString(kSection, kLevelEntry, "Standard"));
    OptionSwitches switches = ApplyLevel(named, OptionSwitches{});
    for (const auto& [entry, member] : kSwitchNames)
        switches.*member = store.ReadSettingInt(kSection, entry, switches.*member) != 0;
    // A stored level the switches no longer match (set by hand, or by another version) is
    // shown as Custom: the switches are what a run uses.
    return {DeriveLevel(switches) == named ? named : kCustom, switches};
}

bool StoreOptions(const CSettingsStore& store, int position, const OptionSwitches& switches)
{
    // Every value is attempted even after a failure, so as much of the choice as
    // possible survives.
    bool saved = store.WriteSettingString(kSection, kLevelEntry, LevelName(position));
    saved &= store.WriteSettingInt(kSection, "DeleteNewsgroupSubscriptions", switches.newsgroups);
    saved &= store.WriteSettingInt(kSection, "DeleteFavorites", switches.favorites);
    saved &= store.WriteSettingInt(kSection, "DeleteCookies", switches.cookies);
    saved &= store.WriteSettingInt(kSection, "WipeClean", switches.wipeClean);
    saved &= store.WriteSettingInt(kSection, "ResetGameScores", switches.resetScores);
    return saved;
}

#include "settings/LevelLogic.h"

#include "sys/NameCase.h"

#include <array>
#include <iterator>

namespace {

constexpr const char* kSection = "Options";
constexpr const char* kLevelEntry = "TypeOfPurgix";

// The rows of kSwitches in the order the Options dialog has always written them.
constexpr std::size_t kSwitchWriteOrder[] = {0, 2, 1, 3, 4, 5};
static_assert(std::size(kSwitchWriteOrder) == std::size(kSwitches));

constexpr std::array<const char*, 4> kLevelNames = {"Thorough", "Standard", "Basic", "Custom"};

// No level wipes the free space: that takes long, and only Custom may ask for it.
constexpr OptionSwitches kThoroughPreset{true, true, true, true, true, false};
constexpr OptionSwitches kStandardPreset{true, true, false, false, false, false};
constexpr OptionSwitches kBasicPreset{false, false, false, false, false, false};

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
    for (const auto& [entry, member] : kSwitches)
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
    for (const std::size_t row : kSwitchWriteOrder)
        saved &= store.WriteSettingInt(kSection, kSwitches[row].name, switches.*kSwitches[row].member);
    return saved;
}

#include "settings/StoredRunOptions.h"

#include "settings/LevelLogic.h"

RunOptions ReadRunOptions(const CSettingsStore& store)
{
    RunOptions options;
    options.switches = LoadOptions(store).switches;
    options.rules = store.ReadEntriesSetTo(kRulesSection, 1);
    options.rulesFolder = Platform().ProgramFolder();
    options.keepSites = ReadKeepSites(store);
    return options;
}

std::optional<std::vector<std::string>> ReadKeepSites(const CSettingsStore& store)
{
    return store.ReadSettingList("", kKeepSitesValue);
}

bool StoreKeepSites(const CSettingsStore& store, const std::vector<std::string>& sites)
{
    return store.WriteSettingList("", kKeepSitesValue, sites);
}

#include "engine/RunOptions.h"

RunOptions ReadRunOptions(const CSettingsStore& store)
{
    auto read = [&](const char* entry, bool fallback) { return store.ReadSettingInt("Options", entry, fallback) != 0; };
    RunOptions options;
    options.switches.newsgroups = read("DeleteNewsgroupSubscriptions", true);
    options.switches.cookies = read("DeleteCookies", true);
    options.switches.favorites = read("DeleteFavorites", false);
    options.switches.wipeClean = read("WipeClean", false);
    options.switches.resetScores = read("ResetGameScores", false);
    options.rules = store.ReadEntriesSetTo(kRulesSection, 1);
    options.rulesFolder = Platform().ProgramFolder();
    return options;
}

#include "settings/StoredRunOptions.h"

#include "settings/LevelLogic.h"

RunOptions ReadRunOptions(const CSettingsStore& store)
{
    RunOptions options;
    options.switches = LoadOptions(store).switches;
    options.rules = store.ReadEntriesSetTo(kRulesSection, 1);
    options.rulesFolder = Platform().ProgramFolder();
    return options;
}

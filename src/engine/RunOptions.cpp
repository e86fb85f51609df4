#include "engine/RunOptions.h"

RunOptions ReadRunOptions(const CSettingsStore& store)
{
    RunOptions options; // its switches start at the defaults for those absent
    for (const auto& [name, member] : kSwitchNames)
        options.switches.*member = store.ReadSettingInt("Options", name, options.switches.*member) != 0;
    options.rules = store.ReadEntriesSetTo(kRulesSection, 1);
    options.rulesFolder = Platform().ProgramFolder();
    return options;
}

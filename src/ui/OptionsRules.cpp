#include "ui/OptionsRules.h"

#include "settings/LevelLogic.h"

bool FavoritesWarningDue(bool favoritesWasOn, bool favoritesWillBeOn, bool dialogVisible)
{
    return dialogVisible && !favoritesWasOn && favoritesWillBeOn;
}

bool SaveOptions(CPlatform& sys, void* owner, int position, const OptionSwitches& switches)
{
    if (StoreOptions(CSettingsStore(sys), position, switches))
        return true;
    sys.ShowMessage(owner, kCannotWriteRegistry, kApplicationName, kCannotWriteRegistryStyle);
    return false;
}

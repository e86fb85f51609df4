#include "ui/OptionsRules.h"

#include "settings/LevelLogic.h"

namespace {
// MB_OK | MB_ICONEXCLAMATION, spelt out: the native tests build this file without windows.h.
constexpr unsigned kWarningStyle = 0x30;
} // namespace

bool FavoritesWarningDue(bool favoritesWasOn, bool favoritesWillBeOn, bool dialogVisible)
{
    return dialogVisible && !favoritesWasOn && favoritesWillBeOn;
}

bool SaveOptions(CPlatform& sys, void* owner, int position, const OptionSwitches& switches)
{
    if (StoreOptions(CSettingsStore(sys), position, switches))
        return true;
    sys.ShowMessage(owner, kCannotWriteRegistry, kApplicationName, kWarningStyle);
    return false;
}

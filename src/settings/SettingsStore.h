#pragma once
// The program's settings: HKEY_CURRENT_USER\Software\<company>\<application>.
// A section is a subkey; the empty section is the application key itself.
// Integers are REG_DWORD, strings REG_SZ, lists REG_MULTI_SZ. Every call opens and closes its keys,
// so any thread may use the store. Even a read creates the key path, except in a
// store made by ReadOnly (for a preview and the console program, which write nothing).
#include "engine/core/StoredValues.h"
#include "sys/Platform.h"

#include <optional>
#include <string>
#include <vector>

class CSettingsStore {
public:
    explicit CSettingsStore(CPlatform& sys = Platform()) : m_sys(sys) {}
    static CSettingsStore ReadOnly(CPlatform& sys = Platform())
    {
        CSettingsStore store(sys);
        store.m_readsCreateKeys = false;
        return store;
    }

    unsigned ReadSettingInt(const std::string& section, const std::string& entry, unsigned defaultValue) const;
    std::string ReadSettingString(const std::string& section, const std::string& entry,
                                  const std::string& defaultValue) const;
    bool WriteSettingInt(const std::string& section, const std::string& entry, unsigned value) const;
    bool WriteSettingString(const std::string& section, const std::string& entry, const std::string& value) const;
    // A REG_MULTI_SZ list. An absent value (or section) is an empty list; one of another type,
    // or one that cannot be read, gives nothing.
    std::optional<std::vector<std::string>> ReadSettingList(const std::string& section, const std::string& entry) const;
    bool WriteSettingList(const std::string& section, const std::string& entry,
                          const std::vector<std::string>& list) const;
    // The names of the section's REG_DWORD values that hold `value`, in enumeration order.
    std::vector<std::string> ReadEntriesSetTo(const std::string& section, unsigned value) const;
    // True when the entry is gone afterwards (or was never there).
    bool RemoveSetting(const std::string& section, const std::string& entry) const;

    // "Software\Vellomar\Purgix!" or "Software\Vellomar\Purgix!\<section>".
    static std::string KeyPath(const std::string& section) { return ProgramKeyPath(section); }

private:
    CPlatform& m_sys;
    bool m_readsCreateKeys = true;
};

#pragma once
// The program's settings: HKEY_CURRENT_USER\Software\<company>\<application>.
// A section is a subkey; the empty section is the application key itself.
// Integers are REG_DWORD, strings REG_SZ. Every call opens and closes its keys,
// and even a read creates the key path, so any thread may use the store.
#include "sys/Platform.h"

#include <string>
#include <vector>

inline constexpr const char* kCompanyKey = "Vellomar";
inline constexpr const char* kApplicationName = "Purgix!";

// What the user is told, once, when a registry write of the program fails
// (MB_OK | MB_ICONEXCLAMATION).
inline constexpr const char* kCannotWriteRegistry = "Unable to write to the registry.";
inline constexpr unsigned kCannotWriteRegistryStyle = 0x30;

class CSettingsStore {
public:
    explicit CSettingsStore(CPlatform& sys = Platform()) : m_sys(sys) {}

    unsigned ReadSettingInt(const std::string& section, const std::string& entry, unsigned defaultValue) const;
    std::string ReadSettingString(const std::string& section, const std::string& entry,
                                  const std::string& defaultValue) const;
    bool WriteSettingInt(const std::string& section, const std::string& entry, unsigned value) const;
    bool WriteSettingString(const std::string& section, const std::string& entry, const std::string& value) const;
    // The names of the section's REG_DWORD values that hold `value`, in enumeration order.
    std::vector<std::string> ReadEntriesSetTo(const std::string& section, unsigned value) const;
    // True when the entry is gone afterwards (or was never there).
    bool RemoveSetting(const std::string& section, const std::string& entry) const;

    // "Software\Vellomar\Purgix!" or "Software\Vellomar\Purgix!\<section>".
    static std::string KeyPath(const std::string& section);

private:
    CPlatform& m_sys;
};

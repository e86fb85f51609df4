#include "settings/SettingsStore.h"

#include <cstring>

unsigned CSettingsStore::ReadSettingInt(const std::string& section, const std::string& entry,
                                        unsigned defaultValue) const
{
    return ReadStoredNumber(m_sys, section, entry, defaultValue, m_readsCreateKeys);
}

std::string CSettingsStore::ReadSettingString(const std::string& section, const std::string& entry,
                                              const std::string& defaultValue) const
{
    RegValue value;
    if (m_sys.RegReadValue(kHkeyCurrentUser, KeyPath(section), entry, m_readsCreateKeys, value) != 0 ||
        (value.type != kRegSz && value.type != kRegExpandSz))
        return defaultValue;
    return std::string(value.data.begin(), value.data.end());
}

bool CSettingsStore::WriteSettingInt(const std::string& section, const std::string& entry, unsigned value) const
{
    return WriteStoredNumber(m_sys, section, entry, value);
}

bool CSettingsStore::WriteSettingString(const std::string& section, const std::string& entry,
                                        const std::string& value) const
{
    return WriteStoredText(m_sys, section, entry, value);
}

std::vector<std::string> CSettingsStore::ReadEntriesSetTo(const std::string& section, unsigned value) const
{
    std::vector<RegValue> values;
    std::vector<std::string> names;
    if (m_sys.RegListValues(kHkeyCurrentUser, KeyPath(section), values) != 0)
        return names;
    for (const RegValue& entry : values) {
        unsigned number = 0;
        if (entry.type == kRegDword && entry.data.size() == 4) {
            std::memcpy(&number, entry.data.data(), 4);
            if (number == value)
                names.push_back(entry.name);
        }
    }
    return names;
}

bool CSettingsStore::RemoveSetting(const std::string& section, const std::string& entry) const
{
    const OsError error = m_sys.RegRemoveValue(kHkeyCurrentUser, KeyPath(section), entry);
    return error == 0 || error == kErrorFileNotFound;
}

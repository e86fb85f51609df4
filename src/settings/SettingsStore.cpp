#include "settings/SettingsStore.h"

#include <algorithm>
#include <cstdint>
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

std::optional<std::vector<std::string>> CSettingsStore::ReadSettingList(const std::string& section,
                                                                        const std::string& entry) const
{
    RegValue value;
    const OsError error = m_sys.RegReadValue(kHkeyCurrentUser, KeyPath(section), entry, m_readsCreateKeys, value);
    if (error == kErrorFileNotFound)
        return std::vector<std::string>{};
    if (error != 0 || value.type != kRegMultiSz)
        return std::nullopt;
    std::vector<std::string> list;
    for (auto start = value.data.begin(); start != value.data.end();) {
        const auto end = std::find(start, value.data.end(), std::uint8_t{0});
        list.emplace_back(start, end);
        start = end == value.data.end() ? end : end + 1;
    }
    return list;
}

bool CSettingsStore::WriteSettingList(const std::string& section, const std::string& entry,
                                      const std::vector<std::string>& list) const
{
    std::vector<std::uint8_t> data;
    for (const std::string& text : list) {
        data.insert(data.end(), text.begin(), text.end());
        data.push_back(0);
    }
    return m_sys.RegWriteValue(kHkeyCurrentUser, KeyPath(section), entry, kRegMultiSz, data) == 0;
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

#include "settings/SettingsStore.h"

#include <cstring>

std::string CSettingsStore::KeyPath(const std::string& section)
{
    std::string path = std::string("Software\\") + kCompanyKey + "\\" + kApplicationName;
    if (!section.empty())
        path += "\\" + section;
    return path;
}

std::optional<unsigned> StoredNumber(const RegValue& value)
{
    if ((value.type != kRegDword && value.type != kRegBinary) || value.data.size() != sizeof(unsigned))
        return std::nullopt;
    unsigned number = 0;
    std::memcpy(&number, value.data.data(), sizeof number);
    return number;
}

unsigned CSettingsStore::ReadSettingInt(const std::string& section, const std::string& entry,
                                        unsigned defaultValue) const
{
    RegValue value;
    if (m_sys.RegReadValue(kHkeyCurrentUser, KeyPath(section), entry, m_readsCreateKeys, value) != 0)
        return defaultValue;
    return StoredNumber(value).value_or(defaultValue);
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
    std::vector<std::uint8_t> data(4);
    std::memcpy(data.data(), &value, 4);
    return m_sys.RegWriteValue(kHkeyCurrentUser, KeyPath(section), entry, kRegDword, data) == 0;
}

bool CSettingsStore::WriteSettingString(const std::string& section, const std::string& entry,
                                        const std::string& value) const
{
    return m_sys.RegWriteValue(kHkeyCurrentUser, KeyPath(section), entry, kRegSz,
                               std::vector<std::uint8_t>(value.begin(), value.end())) == 0;
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
    constexpr OsError kFileNotFound = 2;
    const OsError error = m_sys.RegRemoveValue(kHkeyCurrentUser, KeyPath(section), entry);
    return error == 0 || error == kFileNotFound;
}

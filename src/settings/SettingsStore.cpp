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

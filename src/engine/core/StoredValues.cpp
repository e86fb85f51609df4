#include "engine/core/StoredValues.h"

#include <cstdint>
#include <cstring>
#include <vector>

std::string ProgramKeyPath(const std::string& section)
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

unsigned ReadStoredNumber(CPlatform& sys, const std::string& section, const std::string& entry, unsigned defaultValue,
                          bool createKeys)
{
    RegValue value;
    if (sys.RegReadValue(kHkeyCurrentUser, ProgramKeyPath(section), entry, createKeys, value) != 0)
        return defaultValue;
    return StoredNumber(value).value_or(defaultValue);
}

bool WriteStoredNumber(CPlatform& sys, const std::string& section, const std::string& entry, unsigned value)
{
    std::vector<std::uint8_t> data(4);
    std::memcpy(data.data(), &value, 4);
    return sys.RegWriteValue(kHkeyCurrentUser, ProgramKeyPath(section), entry, kRegDword, data) == 0;
}

bool WriteStoredText(CPlatform& sys, const std::string& section, const std::string& entry, const std::string& text)
{
    return sys.RegWriteValue(kHkeyCurrentUser, ProgramKeyPath(section), entry, kRegSz,
                             std::vector<std::uint8_t>(text.begin(), text.end())) == 0;
}

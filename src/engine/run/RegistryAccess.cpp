// Registry access for the engine: lookups by walking a key's values, deletions,
// and the one write that tells the user when it fails.
#include "engine/run/CleaningEngine.h"

#include "engine/core/StoredValues.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr OsError kErrorFileNotFound = 2; // the key is not there

// The first value of an accepted type whose name matches exactly (case included), or
// nothing when there is none or the key is not there.
std::optional<RegValue> FindValue(CPlatform& sys, RegRoot root, const std::string& path, const std::string& name,
                                  std::initializer_list<std::uint32_t> types)
{
    std::vector<RegValue> values;
    if (const OsError error = sys.RegListValues(root, path, values); error == kErrorFileNotFound)
        return std::nullopt;
    else if (error != 0)
        throw CResourceException(error);
    for (RegValue& value : values) {
        if (std::find(types.begin(), types.end(), value.type) != types.end() && value.name == name)
            return std::move(value);
    }
    return std::nullopt;
}

template <class Read> auto FromEitherView(RegRoot root, Read&& read)
{
    if (root == kHkeyLocalMachine) {
        // Not recorded by a 32-bit program, or not readable there: the native view may have it.
        try {
            if (auto found = read(root | kRegView32))
                return found;
        } catch (const CResourceException&) {
        }
    }
    return read(root);
}

} // namespace

std::optional<std::string> CCleaningEngine::ReadRegistryString(RegRoot root, const std::string& path,
                                                               const std::string& name)
{
    const std::optional<RegValue> value = FindValue(m_sys, root, path, name, {kRegSz, kRegExpandSz});
    if (!value)
        return std::nullopt;
    return std::string(value->data.begin(), value->data.end());
}

std::optional<std::int32_t> CCleaningEngine::ReadRegistryNumber(RegRoot root, const std::string& path,
                                                                const std::string& name)
{
    const std::optional<RegValue> value =
        FindValue(m_sys, root, path, name, {kRegBinary, kRegDword, kRegDwordBigEndian});
    if (!value)
        return std::nullopt;
    // The whole number: up to four bytes, little-endian except REG_DWORD_BIG_ENDIAN.
    const size_t n = std::min<size_t>(value->data.size(), 4);
    std::uint32_t number = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t shift = value->type == kRegDwordBigEndian ? 8 * (n - 1 - i) : 8 * i;
        number |= static_cast<std::uint32_t>(value->data[i]) << shift;
    }
    return static_cast<std::int32_t>(number);
}

std::optional<std::string> CCleaningEngine::ReadLocationString(RegRoot root, const std::string& path,
                                                               const std::string& name)
{
    return FromEitherView(root, [&](RegRoot view) { return ReadRegistryString(view, path, name); });
}

std::optional<std::int32_t> CCleaningEngine::ReadLocationNumber(RegRoot root, const std::string& path,
                                                                const std::string& name)
{
    return FromEitherView(root, [&](RegRoot view) { return ReadRegistryNumber(view, path, name); });
}

void CCleaningEngine::DeleteRegistryValue(RegRoot root, const std::string& path, const std::string& name)
{
    // A preview succeeds where the deletion would: the value is there.
    RegValue value;
    const OsError error =
        Previewing() ? m_sys.RegReadValue(root, path, name, false, value) : m_sys.RegRemoveValue(root, path, name);
    if (error != 0)
        throw CResourceException(error);
}

void CCleaningEngine::DeleteAllRegistryValues(RegRoot root, const std::string& path)
{
    std::vector<RegValue> values;
    if (const OsError error = m_sys.RegListValues(root, path, values); error != 0)
        throw CResourceException(error);
    if (Previewing())
        return;
    // Every value goes, however long its name or data; a value that stays is a failure,
    // so no caller reports a list removed while part of it remains.
    OsError firstError = 0;
    for (const RegValue& value : values) {
        if (const OsError error = m_sys.RegRemoveValue(root, path, value.name); error != 0 && firstError == 0)
            firstError = error;
    }
    if (firstError != 0)
        throw CResourceException(firstError);
}

void CCleaningEngine::WriteRegistryString(RegRoot root, const std::string& path, const std::string& name,
                                          const std::string& text)
{
    if (m_sys.RegWriteValue(root, path, name, kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())) != 0)
        TellFailure(kCannotWriteRegistry);
}

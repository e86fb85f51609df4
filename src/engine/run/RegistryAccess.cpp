// Registry access for the engine: lookups by walking a key's values, deletions,
// and the one write that tells the user when it fails.
#include "engine/run/CleaningEngine.h"

#include "engine/core/StoredValues.h"

#include <algorithm>
#include <initializer_list>

namespace {

// The first value of an accepted type whose name matches exactly (case included).
const RegValue& FindValue(CPlatform& sys, std::vector<RegValue>& values, RegRoot root, const std::string& path,
                          const std::string& name, std::initializer_list<std::uint32_t> types)
{
    if (sys.RegListValues(root, path, values) != 0)
        throw CResourceException();
    for (const RegValue& value : values) {
        if (std::find(types.begin(), types.end(), value.type) != types.end() && value.name == name)
            return value;
    }
    throw CResourceException();
}

template <class Read> auto FromEitherView(RegRoot root, Read&& read)
{
    if (root == kHkeyLocalMachine) {
        try {
            return read(root | kRegView32);
        } catch (const CResourceException&) {
            // Not recorded by a 32-bit program: the native view may have it.
        }
    }
    return read(root);
}

} // namespace

std::string CCleaningEngine::ReadRegistryString(RegRoot root, const std::string& path, const std::string& name)
{
    std::vector<RegValue> values;
    const RegValue& value = FindValue(m_sys, values, root, path, name, {kRegSz, kRegExpandSz});
    return std::string(value.data.begin(), value.data.end());
}

std::int32_t CCleaningEngine::ReadRegistryNumber(RegRoot root, const std::string& path, const std::string& name)
{
    std::vector<RegValue> values;
    const RegValue& value = FindValue(m_sys, values, root, path, name, {kRegBinary, kRegDword, kRegDwordBigEndian});
    // The whole number: up to four bytes, little-endian except REG_DWORD_BIG_ENDIAN.
    const size_t n = std::min<size_t>(value.data.size(), 4);
    std::uint32_t number = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t shift = value.type == kRegDwordBigEndian ? 8 * (n - 1 - i) : 8 * i;
        number |= static_cast<std::uint32_t>(value.data[i]) << shift;
    }
    return static_cast<std::int32_t>(number);
}

std::string CCleaningEngine::ReadLocationString(RegRoot root, const std::string& path, const std::string& name)
{
    return FromEitherView(root, [&](RegRoot view) { return ReadRegistryString(view, path, name); });
}

std::int32_t CCleaningEngine::ReadLocationNumber(RegRoot root, const std::string& path, const std::string& name)
{
    return FromEitherView(root, [&](RegRoot view) { return ReadRegistryNumber(view, path, name); });
}

void CCleaningEngine::DeleteRegistryValue(RegRoot root, const std::string& path, const std::string& name)
{
    // A preview succeeds where the deletion would: the value is there.
    RegValue value;
    const OsError error =
        m_bPreview ? m_sys.RegReadValue(root, path, name, false, value) : m_sys.RegRemoveValue(root, path, name);
    if (error != 0)
        throw CResourceException();
}

void CCleaningEngine::DeleteAllRegistryValues(RegRoot root, const std::string& path)
{
    std::vector<RegValue> values;
    if (m_sys.RegListValues(root, path, values) != 0)
        throw CResourceException();
    if (m_bPreview)
        return;
    // Every value goes, however long its name or data; a value that stays is a failure,
    // so no caller reports a list removed while part of it remains.
    bool allDeleted = true;
    for (const RegValue& value : values)
        allDeleted = m_sys.RegRemoveValue(root, path, value.name) == 0 && allDeleted;
    if (!allDeleted)
        throw CResourceException();
}

void CCleaningEngine::WriteRegistryString(RegRoot root, const std::string& path, const std::string& name,
                                          const std::string& text)
{
    if (m_sys.RegWriteValue(root, path, name, kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())) != 0)
        m_pMainDlg->Ask(kCannotWriteRegistry, kCannotWriteRegistryStyle);
}

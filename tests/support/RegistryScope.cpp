#include "support/RegistryScope.h"

#include "support/TestEnv.h"
#include "sys/Utf8.h"

void CRegistryScope::Remember(HKEY root, const std::string& key, const std::string& name)
{
    for (const Saved& saved : m_values) {
        if (saved.root == root && saved.key == key && saved.name == name)
            return;
    }
    // The first missing key of the path: removing it removes everything created below.
    for (size_t at = 0; at != std::string::npos;) {
        at = key.find('\\', at + 1);
        const std::string prefix = key.substr(0, at);
        if (!testenv::KeyExists(root, prefix)) {
            m_createdKeys.emplace_back(root, prefix);
            break;
        }
    }
    Saved saved{root, key, name, false, 0, {}};
    HKEY handle;
    if (RegOpenKeyExW(root, Widen(key).c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        const std::wstring wideName = Widen(name);
        DWORD size = 0;
        if (RegQueryValueExW(handle, wideName.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
            saved.data.resize(size);
            saved.existed = RegQueryValueExW(handle, wideName.c_str(), nullptr, &saved.type, saved.data.data(),
                                             &size) == ERROR_SUCCESS;
            saved.data.resize(size);
        }
        RegCloseKey(handle);
    }
    m_values.push_back(std::move(saved));
}

void CRegistryScope::SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                               DWORD type)
{
    Remember(root, key, name);
    testenv::SetString(root, key, name, value, type);
}

void CRegistryScope::SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value)
{
    Remember(root, key, name);
    testenv::SetDword(root, key, name, value);
}

void CRegistryScope::Remove(HKEY root, const std::string& key, const std::string& name)
{
    Remember(root, key, name);
    RegDeleteKeyValueW(root, Widen(key).c_str(), Widen(name).c_str());
}

void CRegistryScope::Restore()
{
    for (auto saved = m_values.rbegin(); saved != m_values.rend(); ++saved) {
        if (saved->existed)
            testenv::SetBinary(saved->root, saved->key, saved->name, saved->data, saved->type);
        else
            RegDeleteKeyValueW(saved->root, Widen(saved->key).c_str(), Widen(saved->name).c_str());
    }
    for (const auto& [root, key] : m_createdKeys)
        testenv::DeleteTree(root, key);
    m_values.clear();
    m_createdKeys.clear();
}

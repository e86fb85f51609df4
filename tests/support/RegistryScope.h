#pragma once
// Registry values a test sets or removes for its own length, put back as they were
// when the scope ends: a value that existed gets its old type and data again, a new
// one goes, and so does every key the scope had to create.
//
// Usage:
//   CRegistryScope registry;
//   registry.SetString(HKEY_CURRENT_USER, key, "Cache", folder);
//   registry.Remove(HKEY_LOCAL_MACHINE, key, "Directory"); // absent for this test
#include <windows.h>

#include <string>
#include <vector>

class CRegistryScope {
public:
    CRegistryScope() = default;
    CRegistryScope(const CRegistryScope&) = delete;
    CRegistryScope& operator=(const CRegistryScope&) = delete;
    ~CRegistryScope() { Restore(); }

    void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                   DWORD type = REG_SZ);
    void SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
    void Remove(HKEY root, const std::string& key, const std::string& name);
    // Puts everything back now; the scope can be used again afterwards.
    void Restore();

private:
    struct Saved {
        HKEY root;
        std::string key;
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    void Remember(HKEY root, const std::string& key, const std::string& name);

    std::vector<Saved> m_values;
    std::vector<std::pair<HKEY, std::string>> m_createdKeys;
};

#pragma once
// Environment variables of the test process set for one test and put back after it.
#include "sys/Utf8.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CEnvScope {
public:
    CEnvScope() = default;
    ~CEnvScope()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            ::SetEnvironmentVariableW(it->first.c_str(), it->second.empty() ? nullptr : it->second.c_str());
    }
    CEnvScope(const CEnvScope&) = delete;
    CEnvScope& operator=(const CEnvScope&) = delete;

    void Set(const std::string& name, const std::string& value)
    {
        const std::wstring wide = Widen(name);
        wchar_t buffer[32768];
        const DWORD n = ::GetEnvironmentVariableW(wide.c_str(), buffer, 32768);
        m_saved.emplace_back(wide, std::wstring(buffer, n));
        ::SetEnvironmentVariableW(wide.c_str(), Widen(value).c_str());
    }

private:
    std::vector<std::pair<std::wstring, std::wstring>> m_saved;
};

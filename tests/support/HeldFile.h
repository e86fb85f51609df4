#pragma once
// Keeps a file in use the way another program would: open without any sharing, so
// a deletion or an exclusive open fails with a sharing violation (error 32).
#include "sys/Utf8.h"

#include <windows.h>

#include <string>

class CHeldFile {
public:
    explicit CHeldFile(const std::string& path)
        : m_handle(::CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~CHeldFile() { Release(); }
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;

    bool IsHeld() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (IsHeld())
            ::CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

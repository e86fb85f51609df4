#pragma once
// RAII owners for kernel handles and window timers: uncopyable, released on every path.
#include <windows.h>

class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle() { Reset(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(HANDLE handle = nullptr)
    {
        if (m_handle)
            ::CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = nullptr;
};

class CWindowTimer {
public:
    CWindowTimer(HWND window, UINT_PTR id, UINT milliseconds) : m_window(window), m_id(id)
    {
        ::SetTimer(window, id, milliseconds, nullptr);
    }
    ~CWindowTimer() { ::KillTimer(m_window, m_id); }
    CWindowTimer(const CWindowTimer&) = delete;
    CWindowTimer& operator=(const CWindowTimer&) = delete;

private:
    HWND m_window;
    UINT_PTR m_id;
};

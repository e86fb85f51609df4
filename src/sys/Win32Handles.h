#pragma once
// RAII owners for kernel handles, icons and window timers: uncopyable, released on every
// path. The platform's own search and file handles have theirs in sys/FileHandles.h, which
// the engine can include without <windows.h>.
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

// An icon loaded by the program itself (not a shared one), destroyed with its owner.
class CIcon {
public:
    explicit CIcon(HICON icon) : m_icon(icon) {}
    ~CIcon()
    {
        if (m_icon)
            ::DestroyIcon(m_icon);
    }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;

    HICON Get() const { return m_icon; }

private:
    HICON m_icon;
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

#include "sys/Console.h"

#include "sys/Utf8.h"

#include <windows.h>

#include <utility>

namespace {

std::function<void()> g_interrupt;

BOOL WINAPI InterruptHandler(DWORD event)
{
    if ((event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) || !g_interrupt)
        return FALSE;
    g_interrupt();
    return TRUE;
}

} // namespace

CConsoleStream::CConsoleStream(ConsoleStreamId id)
    : m_handle(::GetStdHandle(id == ConsoleStreamId::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE))
{
    DWORD mode = 0;
    m_isConsole = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(m_handle, &mode);
}

bool CConsoleStream::Write(std::string_view utf8) const
{
    if (m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE)
        return false;
    if (m_isConsole) {
        const std::wstring wide = Widen(utf8);
        DWORD written = 0;
        return ::WriteConsoleW(m_handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
    }
    while (!utf8.empty()) {
        DWORD written = 0;
        if (!::WriteFile(m_handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) || written == 0)
            return false;
        utf8.remove_prefix(written);
    }
    return true;
}

void OnConsoleInterrupt(std::function<void()> interrupt)
{
    g_interrupt = std::move(interrupt);
    // A parent that started this program in a process group of its own turned Ctrl+C off for it.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(InterruptHandler, TRUE);
}

#pragma once
// Hands a call from the worker to the window's thread. The window message that asks
// for the call carries only its number, never a pointer: any process on the desktop
// can send the window that message, and what it sends must find nothing to run.
//
// Usage:
//   worker:  m_uiCalls.Hand(m_hWnd, kRunOnUiMessage, action); // returns once the call has run
//   window:  case kRunOnUiMessage: m_uiCalls.RunPending(wParam); // lParam is never read
#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>

class CUiCallSlot {
public:
    // Worker: sends `message` with the call's number and returns once the call has run,
    // or at once when the window has gone without running it.
    void Hand(HWND window, UINT message, const std::function<void()>& action);
    // Window's thread: runs the pending call when `number` is its number; any other
    // number, or no pending call, does nothing.
    void RunPending(WPARAM number);

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    const std::function<void()>* m_pending = nullptr;
    WPARAM m_number = 0; // of the latest call handed over
    bool m_running = false;
};

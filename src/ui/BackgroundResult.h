#pragma once
// A dialog's slow work (every rules file, every browser's cookie stores) done on a thread
// of its own so that the window keeps answering; the thread posts a message to the window
// when the result is ready.
//
// Usage:
//   m_loading.Start(m_hWnd, kLoaded, [] { return ListFoundRules(sys, folder, chosen); });
//   ... on kLoaded:  m_rules = m_loading.Take();
#include "sys/Win32Handles.h"

#include <windows.h>

#include <process.h>

#include <functional>
#include <utility>

template <class Result> class CBackgroundResult {
public:
    CBackgroundResult() = default;
    // Closed while working: the thread still writes the result.
    ~CBackgroundResult() { Wait(); }
    CBackgroundResult(const CBackgroundResult&) = delete;
    CBackgroundResult& operator=(const CBackgroundResult&) = delete;

    void Start(HWND window, UINT message, std::function<Result()> work)
    {
        m_window = window;
        m_message = message;
        m_work = std::move(work);
        m_thread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, 0, nullptr)));
        if (!m_thread) // no thread to be had: the work is done here, and the message still comes
            Run();
    }
    // Waits for the work, and hands over its result.
    Result Take()
    {
        Wait();
        return std::move(m_result);
    }

private:
    static unsigned __stdcall ThreadProc(void* self)
    {
        static_cast<CBackgroundResult*>(self)->Run();
        return 0;
    }
    void Run()
    {
        try {
            m_result = m_work();
        } catch (...) {
            // Out of memory, most likely: nothing is shown rather than the program ending.
            m_result = Result();
        }
        ::PostMessageW(m_window, m_message, 0, 0);
    }
    void Wait()
    {
        if (m_thread) {
            ::WaitForSingleObject(m_thread.Get(), INFINITE);
            m_thread.Reset();
        }
    }

    HWND m_window = nullptr;
    UINT m_message = 0;
    std::function<Result()> m_work;
    Result m_result{};
    CHandle m_thread;
};

#pragma once
// Where a worker stands still while the user is asked whether to cancel.
// The worker passes the gate between files and at every report line; it never
// stops while holding a lock the window needs, unlike a suspended thread.
#include <condition_variable>
#include <mutex>

class CPauseGate {
public:
    void Close()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    void Open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_closed = false;
        }
        m_opened.notify_all();
    }
    void Pass()
    {
        std::unique_lock lock(m_mutex);
        m_opened.wait(lock, [this] { return !m_closed; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_closed = false;
};

#include "ui/UiCallSlot.h"

#include <utility>

void CUiCallSlot::Hand(HWND window, UINT message, const std::function<void()>& action)
{
    WPARAM number = 0;
    {
        std::lock_guard lock(m_mutex);
        m_pending = &action;
        number = ++m_number;
    }
    ::SendMessageW(window, message, number, 0);
    // A message that named the number first may still be running the call (a question
    // box, say); what it runs lives on this thread's stack, so wait until it has ended.
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [this] { return !m_running; });
    m_pending = nullptr;
}

void CUiCallSlot::RunPending(WPARAM number)
{
    const std::function<void()>* action = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending || number != m_number)
            return;
        action = std::exchange(m_pending, nullptr); // runs once, whichever message comes first
        m_running = true;
    }
    // The call may throw (the window procedure catches it); the worker must not wait for ever.
    struct Ending {
        CUiCallSlot& slot;
        ~Ending()
        {
            {
                std::lock_guard lock(slot.m_mutex);
                slot.m_running = false;
            }
            slot.m_ended.notify_all();
        }
    } ending{*this};
    (*action)();
}

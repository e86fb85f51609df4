#pragma once
// The user's cancel, which every part of a run reads.
#include <atomic>

// 1 once the user has confirmed a cancel; cleared before each cleaning run.
extern std::atomic<int> g_stopFlag;

inline bool StopRequested()
{
    return g_stopFlag.load(std::memory_order_relaxed) != 0;
}

#pragma once
// How the free-space wipe of one drive ended: what the wipe gives and the report carries.
#include <cstdint>
#include <string>

enum class WipeOutcome {
    Wiped,
    Stopped, // the user stopped it; what it wrote is gone all the same
    Failed,  // it could not write the free space; never counted as wiped
};

struct WipeResult {
    WipeOutcome outcome = WipeOutcome::Wiped;
    std::uint64_t bytes = 0; // overwritten before the end, the stop or the failure
    double seconds = 0;
    std::string reason; // why it failed: the system's error name
};

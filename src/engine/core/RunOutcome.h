#pragma once
// What a run counts as it goes, and how it ended: the sink's last word from the run.
#include <cstdint>

struct RunTally {
    std::int64_t files = 0;    // files that go, now or at the next log-on (the summary's count)
    std::uint64_t bytes = 0;   // their bytes
    std::int64_t deferred = 0; // things left for the next log-on
    std::int64_t failures = 0; // things that stayed through a failure, and failures told to the user
};

enum class RunEnd {
    Done,    // worked through to the end
    Stopped, // the user stopped it
    Failed,  // a failure the run could not handle stopped it
};

struct RunOutcome {
    RunEnd end = RunEnd::Done;
    RunTally tally;
};

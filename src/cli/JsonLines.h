#pragma once
// The console program's --json output: one object a line.
#include "engine/RunSink.h"

#include <cstdint>
#include <string>
#include <string_view>

// What the console program counts over one run's items.
struct RunTally {
    std::int64_t files = 0;  // items the run's summary counts (those with bytes)
    std::uint64_t bytes = 0; // their bytes
    int deferred = 0;        // left for the next log-on
    int failed = 0;          // not deleted, or not removed from the registry
};

// The text as a JSON string, quotes included.
std::string JsonString(std::string_view text);
// {"action":"deleted","path":"...","bytes":123}; "bytes" only for a counted file.
std::string ItemJson(const RunItem& item);
// {"action":"info","text":"..."} for a line that is about no one thing.
std::string InfoJson(std::string_view text);
// {"summary":{"files":n,"bytes":n,"deferred":n,"failed":n,"seconds":x}}
std::string SummaryJson(const RunTally& tally, double seconds);

// Benchmark of the rules, run under Wine by tools/bench.sh.
//
//   bench_rules FOLDER    loads the built-in rules and FOLDER\winapp2.ini and detects every
//                         entry, as the Other programs dialog does
// Prints one line: entries, entries found, seconds, and how much the process's peak
// working set (the most memory it ever held) grew meanwhile.
#include "engine/rules/RuleSources.h"
#include "sys/Utf8.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>

namespace {

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_rules FOLDER\n");
        return 2;
    }
    const std::string folder = Narrow(argv[1]);
    CPlatform& sys = Platform();
    const PROCESS_MEMORY_COUNTERS before = Memory();
    const auto start = std::chrono::steady_clock::now();
    const std::vector<FoundRule> found = ListFoundRules(sys, folder, {});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const PROCESS_MEMORY_COUNTERS after = Memory();
    const std::size_t entries = LoadRuleEntries(sys, folder).size();
    constexpr double kMiB = 1024.0 * 1024.0;
    std::printf("rules: %zu entries loaded and detected in %.3f s, %zu found; "
                "peak working set grew %.1f MiB\n",
                entries, seconds, found.size(), (after.PeakWorkingSetSize - before.PeakWorkingSetSize) / kMiB);
    return 0;
}

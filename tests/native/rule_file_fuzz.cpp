// Fuzzes the rules reader: no input may crash it, every entry it returns has a name,
// every file key a path and a pattern, and merging a file into itself keeps its count
// of distinct names.
#include "engine/rules/RuleFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<RuleEntry> entries = ParseRules(input);
    for (const RuleEntry& entry : entries) {
        Check(!entry.name.empty());
        Check(!RuleCategory(entry).empty());
        for (const RuleFileKey& fileKey : entry.fileKeys)
            Check(!fileKey.path.empty() && !fileKey.patterns.empty() && (fileKey.recurse || !fileKey.removeSelf));
    }
    std::vector<RuleEntry> merged;
    MergeRules(merged, ParseRules(input));
    const std::size_t distinct = merged.size();
    MergeRules(merged, std::move(entries));
    Check(merged.size() == distinct);
    return 0;
}

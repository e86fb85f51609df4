#include "engine/rules/RuleSources.h"

#include "engine/rules/RuleDetection.h"
#include "engine/removal/WildcardMatch.h"
#include "resource.h"
#include "sys/FileContents.h"
#include "sys/FileHandles.h"
#include "sys/NameCase.h"

#include <algorithm>

namespace {

// A rules file several times the size of the largest known one (about 2 MB) is not a rules file.
constexpr std::uint64_t kLargestRulesFile = 16ull << 20;
// People add a few files of their own; a folder of thousands would only be read for minutes.
constexpr std::size_t kMostRuleFiles = 32;

std::string RuleFileText(CPlatform& sys, const std::string& path)
{
    std::string text;
    ReadWholeFile(sys, path, kLargestRulesFile, text);
    return text;
}

std::vector<std::string> RuleFilesIn(CPlatform& sys, const std::string& folder)
{
    std::vector<std::string> names;
    for (CFileFind find(sys, folder + "\\*.ini"); find.Found(); find.Next()) {
        // The search also matches short names: "*.ini" finds "x.ini-old" by "X~1.INI".
        if (!(find.Entry().attributes & kAttrDirectory) && MatchesWildcard(find.Entry().name, "*.ini"))
            names.push_back(find.Entry().name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Lowered(a) < Lowered(b); });
    names.resize(std::min(names.size(), kMostRuleFiles));
    return names;
}

} // namespace

bool SameRuleName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && Lowered(a) == Lowered(b);
}

std::vector<RuleEntry> LoadRuleEntries(CPlatform& sys, const std::string& folder)
{
    std::vector<RuleEntry> entries = ParseBuiltInRules(sys.LoadResourceData(IDR_BUILTIN_RULES));
    if (folder.empty())
        return entries;
    // One budget for every file beside the program, so that many files cannot add up.
    RuleBudget budget;
    MergeRules(entries, ParseRules(RuleFileText(sys, folder + "\\winapp2.ini"), budget));
    const std::string rules = folder + "\\Rules";
    for (const std::string& name : RuleFilesIn(sys, rules))
        MergeRules(entries, ParseRules(RuleFileText(sys, rules + "\\" + name), budget));
    return entries;
}

std::vector<FoundRule> ListFoundRules(CPlatform& sys, const std::string& folder, const std::vector<std::string>& chosen)
{
    std::vector<FoundRule> found;
    CRuleVariables variables(sys);
    CRuleDetector detector(sys, variables);
    for (const RuleEntry& entry : LoadRuleEntries(sys, folder)) {
        if (!detector.Found(entry))
            continue;
        const bool ticked = std::any_of(chosen.begin(), chosen.end(),
                                        [&](const std::string& name) { return SameRuleName(name, entry.name); });
        found.push_back({entry.name, RuleCategory(entry), entry.warning, ticked});
    }
    std::sort(found.begin(), found.end(),
              [](const FoundRule& a, const FoundRule& b) { return Lowered(a.name) < Lowered(b.name); });
    return found;
}

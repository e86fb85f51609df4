// The rules group of the cleaning run: every chosen entry still found on this machine,
// in name order, its FileKeys and then its RegKeys.
#include "engine/CleaningEngine.h"

#include "engine/PathText.h"
#include "engine/RuleDetection.h"
#include "engine/RuleExclusions.h"
#include "engine/RulePaths.h"
#include "engine/RuleRegistry.h"
#include "engine/RuleSources.h"
#include "sys/TextFormat.h"

#include <algorithm>

namespace {

constexpr const char* kStatusDeleting = "Deleting ";

void SweepFileKey(CCleaningEngine& engine, CRuleVariables& variables, const RuleFileKey& fileKey,
                  const CRuleExclusions& exclusions)
{
    SweepOptions sweep;
    sweep.patterns = fileKey.patterns;
    sweep.recurse = fileKey.recurse;
    sweep.removeSubfolders = sweep.removeSelf = fileKey.removeSelf;
    // A rule may name any folder, so no rule empties Windows or a drive, even in part.
    sweep.alwaysGuarded = true;
    sweep.reportEveryRefusal = true;
    sweep.keeps = [&](const std::string& file) { return exclusions.KeepsFile(file); };
    for (const std::string& path : variables.Expand(fileKey.path)) {
        // A relative path is refused by the sweep, with its line, before any search.
        const std::vector<std::string> folders =
            IsAbsolutePath(path) ? MatchingPaths(engine.Sys(), path, true) : std::vector<std::string>{path};
        for (const std::string& folder : folders) {
            if (engine.ShouldStop())
                return;
            try {
                engine.Sweep(folder, sweep);
            } catch (const CException&) {
                // A failure ends this folder only; the entry goes on with the next.
            }
        }
    }
}

void RunEntry(CCleaningEngine& engine, CRuleVariables& variables, const RuleEntry& entry)
{
    const CRuleExclusions exclusions(variables, entry);
    for (const RuleFileKey& fileKey : entry.fileKeys)
        SweepFileKey(engine, variables, fileKey, exclusions);
    for (const RuleRegKey& regKey : entry.regKeys)
        RemoveRuleRegKey(engine, entry.name, regKey, exclusions);
}

} // namespace

void CCleaningEngine::CleanRuleEntries(const RunOptions& options)
{
    if (options.rules.empty())
        return;
    std::vector<RuleEntry> chosen;
    for (RuleEntry& entry : LoadRuleEntries(m_sys, options.rulesFolder)) {
        if (std::any_of(options.rules.begin(), options.rules.end(),
                        [&](const std::string& name) { return SameRuleName(name, entry.name); }))
            chosen.push_back(std::move(entry));
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const RuleEntry& a, const RuleEntry& b) { return Lowered(a.name) < Lowered(b.name); });
    CRuleVariables variables(m_sys);
    CRuleDetector detector(m_sys, variables);
    for (const RuleEntry& entry : chosen) {
        if (ShouldStop())
            break;
        if (!detector.Found(entry))
            continue;
        ShowTarget(kStatusDeleting + entry.name);
        RunEntry(*this, variables, entry);
    }
    m_pMainDlg->StepProgress();
}

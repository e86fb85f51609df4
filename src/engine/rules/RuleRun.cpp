// The rules group of the cleaning run: every chosen entry still found on this machine,
// in name order, its FileKeys (none sweeping a protected folder wholesale) and then its RegKeys.
#include "engine/run/CleaningEngine.h"

#include "engine/removal/PathText.h"
#include "engine/removal/ProtectedFolders.h"
#include "engine/removal/RemovalLines.h"
#include "engine/rules/RuleDetection.h"
#include "engine/rules/RuleExclusions.h"
#include "engine/rules/RulePaths.h"
#include "engine/rules/RuleRegistry.h"
#include "engine/rules/RuleSources.h"
#include "engine/removal/SweepGuards.h"
#include "sys/NameCase.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

constexpr const char* kStatusDeleting = "Deleting ";
constexpr const char* kLineEntrySkipped = ", so it was skipped\r\n";

// A path segment that stands for every name: each folder it reaches is swept.
bool IsOnlyAWildcard(std::string_view segment)
{
    return segment == "*.*" || (!segment.empty() && segment.find_first_not_of('*') == std::string_view::npos);
}

// The folders, each ending in a backslash, directly above a segment of the path that is
// only a wildcard, as they are found on disk.
std::vector<std::string> FoldersAboveWildcards(CPlatform& sys, const std::string& path)
{
    std::vector<std::string> folders;
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find_first_of("\\/", start), path.size());
        if (start > 0 && IsOnlyAWildcard(std::string_view(path).substr(start, end - start))) {
            for (std::string& folder : MatchingPaths(sys, path.substr(0, start), true))
                folders.push_back(std::move(folder));
        }
        start = end + 1;
    }
    return folders;
}

// The folder lies directly in `parent`; both full and ending in a backslash.
bool IsDirectlyBelow(const std::string& folder, const std::string& parent)
{
    if (folder.size() <= parent.size() ||
        !SameNameIgnoringCase(std::string_view(folder).substr(0, parent.size()), parent))
        return false;
    const std::string_view rest = std::string_view(folder).substr(parent.size());
    return rest.find('\\') == rest.size() - 1;
}

// Sweeps the folders one FileKey names. A sweep that recurses or takes every name is
// refused in a protected folder and in every folder a bare wildcard reaches directly
// below one; one line names each such protected folder. A sweep for chosen names that
// stays in its folder may go anywhere.
class CFileKeySweep {
public:
    CFileKeySweep(CCleaningEngine& engine, const std::string& entryName, const RuleFileKey& fileKey,
                  const CRuleExclusions& exclusions, std::optional<CProtectedFolders>& protectedFolders)
        : m_engine(engine), m_entryName(entryName),
          m_wholesale(fileKey.recurse || fileKey.removeSelf || MatchesEverything(fileKey.patterns)),
          m_protected(protectedFolders)
    {
        m_sweep.patterns = fileKey.patterns;
        m_sweep.recurse = fileKey.recurse;
        m_sweep.removeSubfolders = m_sweep.removeSelf = fileKey.removeSelf;
        m_sweep.reportEveryRefusal = true;
        m_sweep.keeps = [&exclusions](const std::string& file) { return exclusions.KeepsFile(file); };
        if (m_wholesale && !m_protected)
            m_protected.emplace(engine.Sys());
    }

    void Run(const std::string& path)
    {
        // A relative path is refused by the sweep, with its line, before any search.
        if (!IsAbsolutePath(path)) {
            m_engine.Sweep(path, m_sweep);
            return;
        }
        // The protected folders a bare wildcard stands in: every folder it reaches directly
        // in one is refused, named once by that folder; deeper named folders stay allowed.
        std::vector<std::string> wildcardParents; // full paths, each ending in a backslash
        if (m_wholesale) {
            for (const std::string& folder : FoldersAboveWildcards(m_engine.Sys(), path)) {
                if (const std::string full = FullFolder(folder); !full.empty() && m_protected->Contains(full))
                    wildcardParents.push_back(full);
            }
        }
        for (const std::string& folder : MatchingPaths(m_engine.Sys(), path, true)) {
            if (m_engine.ShouldStop())
                return;
            const std::string full = FullFolder(folder);
            const auto parent = std::find_if(wildcardParents.begin(), wildcardParents.end(),
                                             [&](const std::string& p) { return IsDirectlyBelow(full, p); });
            if (parent != wildcardParents.end()) {
                ReportRefused(*parent);
                continue;
            }
            if (m_wholesale && !full.empty() && m_protected->Contains(full)) {
                ReportRefused(full);
                continue;
            }
            try {
                m_engine.Sweep(folder, m_sweep);
            } catch (const CException&) {
                // A failure ends this folder only; the entry goes on with the next.
            }
        }
    }

private:
    // "" when the path cannot be made full; the sweep then refuses it with its own line.
    std::string FullFolder(const std::string& folder) const
    {
        std::string full;
        if (m_engine.Sys().GetFullPath(folder, full) != 0 || full.empty())
            return {};
        return full.back() == '\\' ? full : full + '\\';
    }

    // One line for each protected folder the entry would have swept.
    void ReportRefused(const std::string& full)
    {
        const std::string shown = ShownPath(full);
        if (std::find(m_reported.begin(), m_reported.end(), Lowered(shown)) != m_reported.end())
            return;
        m_reported.push_back(Lowered(shown));
        m_engine.ReportItem(RunAction::Skipped, shown,
                            "INFO: '" + m_entryName + "': " + shown + kLineRuleFolderRefused);
    }

    CCleaningEngine& m_engine;
    const std::string& m_entryName;
    const bool m_wholesale;
    std::optional<CProtectedFolders>& m_protected;
    SweepOptions m_sweep;
    std::vector<std::string> m_reported; // shown, lower case
};

void RunEntry(CCleaningEngine& engine, CRuleVariables& variables, const RuleEntry& entry,
              std::optional<CProtectedFolders>& protectedFolders)
{
    const CRuleExclusions exclusions(engine.Sys(), variables, entry);
    if (const std::string reason = EntrySkipReason(variables, entry, exclusions); !reason.empty()) {
        engine.ReportItem(RunAction::Skipped, entry.name, "INFO: '" + entry.name + "' " + reason + kLineEntrySkipped);
        return;
    }
    for (const RuleFileKey& fileKey : entry.fileKeys) {
        CFileKeySweep sweep(engine, entry.name, fileKey, exclusions, protectedFolders);
        for (const std::string& path : variables.Expand(fileKey.path))
            sweep.Run(path);
    }
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
    std::optional<CProtectedFolders> protectedFolders; // read when a sweep first needs it
    for (const RuleEntry& entry : chosen) {
        if (ShouldStop())
            break;
        if (!detector.Found(entry))
            continue;
        ShowTarget(kStatusDeleting + entry.name);
        if (!entry.browserDatabase.empty())
            CleanBrowserDatabases(entry.name, entry.browserDatabase);
        else
            RunEntry(*this, variables, entry, protectedFolders);
    }
    m_sink->StepProgress();
}

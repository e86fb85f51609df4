#include "engine/rules/RuleExclusions.h"

#include "engine/removal/PathText.h"
#include "engine/rules/RulePaths.h"
#include "engine/rules/RuleRegistry.h"
#include "engine/removal/WildcardMatch.h"

#include <algorithm>

namespace {

bool AnyMatches(const std::string& name, const std::vector<std::string>& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& pattern) { return MatchesWildcard(name, pattern); });
}

std::string ParentFolder(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

} // namespace

CRuleExclusions::CRuleExclusions(CPlatform& sys, CRuleVariables& variables, const RuleEntry& entry)
    : m_sys(sys), m_unusable(entry.unreadableExclusion)
{
    for (const RuleExclusion& exclusion : entry.exclusions) {
        if (m_unusable)
            return;
        if (exclusion.kind == RuleExclusion::Kind::Reg) {
            RegRoot root = 0;
            std::string subkey;
            if (ParseHiveKey(exclusion.reg.key, root, subkey))
                m_registry.push_back(
                    {root, PathSegments(subkey), exclusion.reg.value, exclusion.reg.hasValue, exclusion.reg.text});
            else
                m_unusable = exclusion.text;
            continue;
        }
        const std::vector<std::string> folders = variables.Expand(exclusion.folder);
        if (folders.empty())
            m_unusable = exclusion.text;
        for (const std::string& folder : folders) {
            KeptFiles kept{exclusion.kind == RuleExclusion::Kind::Path, {}, exclusion.patterns};
            if (!NormalFolder(folder, kept.folder))
                m_unusable = exclusion.text;
            m_files.push_back(std::move(kept));
        }
    }
}

bool CRuleExclusions::NormalFolder(const std::string& folder, std::vector<std::string>& segments) const
{
    std::string full;
    if (!IsAbsolutePath(folder) || m_sys.GetFullPath(folder, full) != 0 || full.empty())
        return false;
    // Short names are made long up to the first wildcard; what does not exist stays as written.
    const std::size_t wildcard = full.find_first_of("*?", full.rfind("\\\\?\\", 0) == 0 ? 4 : 0);
    const std::size_t cut = wildcard == std::string::npos ? full.size() : full.find_last_of("\\/", wildcard);
    std::string longPath;
    if (cut != std::string::npos && cut > 0 && m_sys.GetLongPath(full.substr(0, cut), longPath) == 0)
        full = longPath + full.substr(cut);
    segments = PathSegments(ShownPath(full));
    return !segments.empty();
}

bool CRuleExclusions::KeepsFile(const std::string& path) const
{
    if (m_files.empty())
        return false;
    const std::string parent = ParentFolder(path);
    if (parent.empty())
        return false;
    if (parent != m_lastFolder || m_lastSegments.empty()) {
        m_lastFolder = parent;
        if (!NormalFolder(parent, m_lastSegments))
            m_lastSegments = PathSegments(parent);
    }
    const std::vector<std::string>& folder = m_lastSegments;
    const std::string name = path.substr(parent.size() + 1);
    for (const KeptFiles& kept : m_files) {
        const std::size_t depth = kept.folder.size();
        if (kept.wholeTree ? folder.size() < depth : folder.size() != depth)
            continue;
        // Wildcards in the exclusion's folder match as they do in a FileKey's.
        bool inside = true;
        for (std::size_t i = 0; i < depth && inside; ++i)
            inside = MatchesWildcard(folder[i], kept.folder[i]);
        if (inside && (kept.patterns.empty() || AnyMatches(name, kept.patterns)))
            return true;
    }
    return false;
}

std::string EntrySkipReason(CRuleVariables& variables, const RuleEntry& entry, const CRuleExclusions& exclusions)
{
    if (exclusions.Unusable())
        return "cannot use its exclusion '" + *exclusions.Unusable() + "'";
    // An exclusion of too many spellings expands to none, so it is unusable above.
    for (const RuleFileKey& fileKey : entry.fileKeys) {
        if (variables.HasTooManySpellings(fileKey.path))
            return "has more than " + std::to_string(CRuleVariables::kMostSpellings) + " spellings of " + fileKey.path;
    }
    return {};
}

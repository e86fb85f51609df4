#include "engine/RuleExclusions.h"

#include "engine/RulePaths.h"
#include "engine/RuleRegistry.h"
#include "engine/WildcardMatch.h"
#include "sys/TextFormat.h"

#include <algorithm>

namespace {

bool Within(const std::string& inner, const std::string& outer)
{
    return inner == outer || inner.rfind(outer + "\\", 0) == 0;
}

bool AnyMatches(const std::string& name, const std::vector<std::string>& patterns)
{
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& pattern) { return MatchesWildcard(name, pattern); });
}

} // namespace

CRuleExclusions::CRuleExclusions(CRuleVariables& variables, const RuleEntry& entry)
{
    for (const RuleExclusion& exclusion : entry.exclusions) {
        if (exclusion.kind == RuleExclusion::Kind::Reg) {
            RegRoot root = 0;
            std::string subkey;
            if (ParseHiveKey(exclusion.reg.key, root, subkey))
                m_registry.push_back({root, Lowered(subkey), Lowered(exclusion.reg.value), exclusion.reg.hasValue});
            continue;
        }
        for (const std::string& folder : variables.Expand(exclusion.folder))
            m_files.push_back({exclusion.kind == RuleExclusion::Kind::Path, PathSegments(folder), exclusion.patterns});
    }
}

bool CRuleExclusions::KeepsFile(const std::string& path) const
{
    if (m_files.empty())
        return false;
    std::vector<std::string> folder = PathSegments(path);
    if (folder.empty())
        return false;
    const std::string name = folder.back();
    folder.pop_back();
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

bool CRuleExclusions::KeepsRegistry(RegRoot root, const std::string& subkey, const RuleRegKey& target) const
{
    const std::string key = Lowered(subkey);
    const std::string value = Lowered(target.value);
    for (const KeptRegistry& kept : m_registry) {
        if (kept.root != root)
            continue;
        if (target.hasValue) {
            if (kept.hasValue ? kept.subkey == key && kept.value == value : Within(key, kept.subkey))
                return true;
        } else if (Within(kept.subkey, key) || (!kept.hasValue && Within(key, kept.subkey))) {
            return true;
        }
    }
    return false;
}

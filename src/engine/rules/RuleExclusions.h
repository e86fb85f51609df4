#pragma once
// What a rule entry's ExcludeKeys keep, whatever its other keys say, and whether the
// entry may run at all.
//
// Usage:
//   CRuleExclusions exclusions(sys, variables, entry);   // variables expanded once
//   if (!EntrySkipReason(variables, entry, exclusions).empty()) ...  // do not run it
//   sweep.keeps = [&](const std::string& file) { return exclusions.KeepsFile(file); };
#include "engine/rules/RuleFile.h"
#include "engine/rules/RulePaths.h"
#include "sys/Platform.h"

#include <optional>
#include <string>
#include <vector>

// A REG exclusion: the key (its segments), or one value in it.
struct ExcludedRegistry {
    RegRoot root;
    std::vector<std::string> key;
    std::string value;
    bool hasValue;
    std::string text; // as written
};

class CRuleExclusions {
public:
    CRuleExclusions(CPlatform& sys, CRuleVariables& variables, const RuleEntry& entry);

    // The first ExcludeKey (as written) that could not be read, or whose folder could not
    // be expanded to a full path: without it the entry would remove what it keeps.
    const std::optional<std::string>& Unusable() const { return m_unusable; }
    // The file (full path as shown) lies where a FILE or PATH exclusion keeps it. Folders
    // on both sides are compared in their full, long form, letter case ignored.
    bool KeepsFile(const std::string& path) const;
    const std::vector<ExcludedRegistry>& Registry() const { return m_registry; }

private:
    struct KeptFiles {
        bool wholeTree; // PATH: the folder and everything below it
        std::vector<std::string> folder;
        std::vector<std::string> patterns; // empty: every name
    };

    // The folder's segments in their full, long form; false when it is no full path.
    bool NormalFolder(const std::string& folder, std::vector<std::string>& segments) const;

    CPlatform& m_sys;
    std::vector<KeptFiles> m_files;
    std::vector<ExcludedRegistry> m_registry;
    std::optional<std::string> m_unusable;
    // The last file's folder and its long form: a sweep asks about one folder's files in a row.
    mutable std::string m_lastFolder;
    mutable std::vector<std::string> m_lastSegments;
};

// Why the entry must not run at all, as the middle of its INFO line; "" when it may.
std::string EntrySkipReason(CRuleVariables& variables, const RuleEntry& entry, const CRuleExclusions& exclusions);

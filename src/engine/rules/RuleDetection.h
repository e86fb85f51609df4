#pragma once
// Whether a rule entry's program is on this machine.
//
// Usage:
//   CRuleVariables variables(sys);
//   CRuleDetector detector(sys, variables); // one per listing or run: it remembers what it read
//   for (const RuleEntry& entry : entries)
//       if (detector.Found(entry)) ...
#include "engine/rules/RuleFile.h"
#include "engine/rules/RulePaths.h"
#include "sys/Platform.h"

#include <string>
#include <unordered_map>
#include <vector>

// True when the version lies in "min|max" (kernel versions such as 6.1 or 10.0; either
// side may be empty, and a single version is a minimum).
bool VersionInRange(const std::string& range, KernelVersion version);

class CRuleDetector {
public:
    CRuleDetector(CPlatform& sys, CRuleVariables& variables)
        : m_sys(sys), m_variables(variables), m_version(sys.SystemVersion())
    {
    }

    // The entry is found when its DetectOS range holds this system and one of its Detect
    // keys exists or one of its DetectFile paths (wildcards in any segment) does. An entry
    // with no Detect or DetectFile key is always found, unless it asks for SpecialDetect:
    // that alone never finds it.
    bool Found(const RuleEntry& entry);

private:
    bool FileFound(const std::string& path);
    bool KeyFound(const std::string& text);
    bool ExistsBelow(const std::string& folder, const std::vector<std::string>& segments, std::size_t next);
    // A rules file names thousands of places under a handful of folders and keys, so
    // each folder's entries and each key's subkeys are read once and looked up after.
    const std::vector<FindEntry>& FolderEntries(const std::string& folder);
    const std::vector<std::string>& Subkeys(RegRoot view, const std::string& key);

    CPlatform& m_sys;
    CRuleVariables& m_variables;
    KernelVersion m_version;
    std::unordered_map<std::string, std::vector<FindEntry>> m_folders;   // by lower-case path
    std::unordered_map<std::string, std::vector<std::string>> m_subkeys; // by view and lower-case key
    std::unordered_map<std::string, bool> m_topKeys;                     // a hive's direct subkeys, likewise
};

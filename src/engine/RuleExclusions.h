#pragma once
// What a rule entry's ExcludeKeys keep, whatever its other keys say.
//
// Usage:
//   CRuleExclusions exclusions(variables, entry);   // variables expanded once
//   sweep.keeps = [&](const std::string& file) { return exclusions.KeepsFile(file); };
#include "engine/RuleFile.h"
#include "engine/RulePaths.h"
#include "sys/Platform.h"

#include <string>
#include <vector>

class CRuleExclusions {
public:
    CRuleExclusions(CRuleVariables& variables, const RuleEntry& entry);

    // The file (full path as shown) lies where a FILE or PATH exclusion keeps it.
    bool KeepsFile(const std::string& path) const;
    // Removing the key or value would remove a key or value a REG exclusion keeps.
    bool KeepsRegistry(RegRoot root, const std::string& subkey, const RuleRegKey& target) const;

private:
    struct KeptFiles {
        bool wholeTree; // PATH: the folder and everything below it
        std::vector<std::string> folder;
        std::vector<std::string> patterns; // empty: every name
    };
    struct KeptRegistry {
        RegRoot root;
        std::string subkey; // lower case
        std::string value;  // lower case
        bool hasValue;
    };

    std::vector<KeptFiles> m_files;
    std::vector<KeptRegistry> m_registry;
};

#pragma once
// Where rule entries come from, and which of them this machine has.
//
// Usage:
//   std::vector<RuleEntry> all = LoadRuleEntries(sys, options.rulesFolder);
//   std::vector<FoundRule> shown = ListFoundRules(sys, options.rulesFolder, options.rules);
#include "engine/rules/RuleFile.h"
#include "sys/Platform.h"

#include <string>
#include <vector>

// The built-in rules (a resource of the program), then "winapp2.ini" in the folder,
// then the first 32 "*.ini" in its "Rules" subfolder in name order; an entry replaces an
// earlier one of the same name. A file that cannot be read, or over 16 MiB, adds nothing;
// the files beside the program share one RuleBudget.
std::vector<RuleEntry> LoadRuleEntries(CPlatform& sys, const std::string& folder);

struct FoundRule {
    std::string name;
    std::string category;
    std::string warning; // asked before the entry is ticked; "" for none
    bool ticked = false; // among the chosen names
};

// The entries found on this machine, sorted by name (letter case ignored).
std::vector<FoundRule> ListFoundRules(CPlatform& sys, const std::string& folder,
                                      const std::vector<std::string>& chosen);

// True when the two entry names are the same, letter case ignored (as the registry
// compares the names the choice is stored under).
bool SameRuleName(const std::string& a, const std::string& b);

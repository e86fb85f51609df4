#pragma once
// The registry side of the rules: hive names, the keys a rule may name, and the
// removal of a RegKey with its report line.
#include "engine/RuleFile.h"
#include "sys/Platform.h"

#include <string>
#include <vector>

class CCleaningEngine;
class CRuleExclusions;

// "HKCU\Software\Example" (or "HKEY_CURRENT_USER\...") as a root and its subkey, without
// empty segments. False for an unknown hive.
bool ParseHiveKey(const std::string& text, RegRoot& root, std::string& subkey);

// The views a rule's key is looked for in: under HKLM the 32-bit programs' view first,
// as for the catalogue, then the native one.
std::vector<RegRoot> RuleKeyViews(RegRoot root);

// Removes the key (with its subkeys) or the value the RegKey names, from both views
// under HKLM, and writes its report line. A key that would take a whole hive, a
// hive's top-level key, the program's own settings or something the entry excludes
// is left, with an INFO line.
void RemoveRuleRegKey(CCleaningEngine& engine, const std::string& entryName, const RuleRegKey& target,
                      const CRuleExclusions& exclusions);

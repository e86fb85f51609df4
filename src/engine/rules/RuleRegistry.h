#pragma once
// The registry side of the rules: hive names, the keys a rule may name, and the
// removal of a RegKey with its report lines.
#include "engine/rules/RuleFile.h"
#include "sys/Platform.h"

#include <string>
#include <vector>

class CCleaningEngine;
class CRuleExclusions;

// "HKCU\Software\Example" (or "HKEY_CURRENT_USER\...", or with slashes) as a root and its
// subkey, without empty segments. False for an unknown hive.
bool ParseHiveKey(const std::string& text, RegRoot& root, std::string& subkey);

// The views a rule's key is looked for in: under HKLM the 32-bit programs' view first,
// as for the catalogue, then the native one.
std::vector<RegRoot> RuleKeyViews(RegRoot root);

// True when no rule may delete the whole key (wholeKey) or a value in it: a hive or a key
// directly under one; Software\Microsoft, Classes, Policies and Wow6432Node (in any hive
// and under Wow6432Node) and the keys directly under them; anything under HKLM\SYSTEM,
// SAM or SECURITY; the CurrentVersion keys of Windows and Windows NT and the keys directly
// under them; and Purgix!'s own settings. Only the last also refuses values. Names are
// compared as the registry compares them, aliases (HKCR, HKU\<user>_Classes, HKCC)
// as the keys they stand for.
bool IsProtectedRuleKey(RegRoot root, const std::string& subkey, bool wholeKey);

// Removes the key (with its subkeys) or the value the RegKey names, from both views
// under HKLM, and writes its report lines. A protected key is left with an INFO line;
// what the entry excludes stays, and the rest of the key goes.
void RemoveRuleRegKey(CCleaningEngine& engine, const std::string& entryName, const RuleRegKey& target,
                      const CRuleExclusions& exclusions);

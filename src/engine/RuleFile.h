#pragma once
// Cleaning rules in the community's INI format, read from text: no system calls, so
// the reader also builds on its own and can be fuzzed.
//
// Usage:
//   std::vector<RuleEntry> entries = ParseRules(bytesOfTheFile);
//   MergeRules(all, std::move(entries)); // a later entry of the same name replaces an earlier one
//
// A line that cannot be read is skipped; nothing in a file is fatal.
#include <string>
#include <string_view>
#include <vector>

// FileKeyN=path|pattern;pattern|RECURSE or REMOVESELF
struct RuleFileKey {
    std::string path;
    std::vector<std::string> patterns;
    bool recurse = false;
    bool removeSelf = false;
};

// RegKeyN=HIVE\key[|value], or the REG| form of an exclusion.
struct RuleRegKey {
    std::string text; // as written, for the report
    std::string key;  // HIVE\key
    std::string value;
    bool hasValue = false;
};

// ExcludeKeyN=FILE|folder\|names, PATH|folder\|pattern, REG|HIVE\key[|value]
struct RuleExclusion {
    enum class Kind { File, Path, Reg };
    Kind kind = Kind::File;
    std::string folder;                // FILE and PATH
    std::vector<std::string> patterns; // FILE and PATH; empty: every name
    RuleRegKey reg;                    // REG
};

struct RuleEntry {
    std::string name;
    int langSecRef = 0;  // 0: none given
    std::string section; // Section=, when given
    std::vector<std::string> detectKeys;
    std::vector<std::string> detectFiles;
    bool specialDetect = false;
    std::string detectOs; // "min|max", either side may be empty
    std::string warning;
    std::vector<RuleFileKey> fileKeys; // in number order
    std::vector<RuleRegKey> regKeys;   // in number order
    std::vector<RuleExclusion> exclusions;
};

// The file's entries in file order. The text may be UTF-8 (with or without BOM) or
// UTF-16 LE with BOM; lines end in CR LF or LF.
std::vector<RuleEntry> ParseRules(std::string_view bytes);

// Adds the entries to `into`; one whose name equals (ignoring case) an entry already
// there replaces it in place.
void MergeRules(std::vector<RuleEntry>& into, std::vector<RuleEntry>&& entries);

// The category shown for the entry: Section=, the name of a known LangSecRef, or "Other".
std::string RuleCategory(const RuleEntry& entry);

// "HIVE\key|value" split at the first "|"; the key keeps its hive as written.
RuleRegKey ParseRegKey(std::string_view text);

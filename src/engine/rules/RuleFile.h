#pragma once
// Cleaning rules in the community's INI format, read from text: no system calls, so
// the reader also builds on its own and can be fuzzed.
//
// Usage:
//   std::vector<RuleEntry> entries = ParseRules(bytesOfTheFile);
//   MergeRules(all, std::move(entries)); // a later entry of the same name replaces an earlier one
//
// A line that cannot be read is skipped; nothing in a file is fatal. An entry whose
// ExcludeKey cannot be read keeps its text, so that the entry is not run.
#include <optional>
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

// ExcludeKeyN=FILE|folder\|names, FILE|folder\name, PATH|folder\|pattern, REG|HIVE\key[|value]
struct RuleExclusion {
    enum class Kind { File, Path, Reg };
    Kind kind = Kind::File;
    std::string folder;                // FILE and PATH
    std::vector<std::string> patterns; // FILE and PATH; empty: every name
    RuleRegKey reg;                    // REG
    std::string text;                  // as written, for the report
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
    std::optional<std::string> unreadableExclusion; // the first ExcludeKey that could not be read, as written
    // BrowserDatabase=<product>|<kind>: the entry cleans inside that browser's databases
    // instead of removing files. Read from the built-in rules only: a rules file beside
    // the program cannot name one.
    std::string browserDatabase;
};

// How much the reader takes in, shared by the files read one after the other: the
// community's file has about 4,000 entries and 30,000 keys, a few times that is plenty.
// A file past either bound ends there; an entry cut short by it, or with more keys than
// kMostKeysPerEntry, is left out, since a missing ExcludeKey would make it remove more.
struct RuleBudget {
    std::size_t entries = 20000;
    std::size_t keys = 200000;
};
inline constexpr std::size_t kMostKeysPerEntry = 1000;

// The file's entries in file order. The text may be UTF-8 (with or without BOM) or
// UTF-16 LE with BOM; lines end in CR LF or LF.
std::vector<RuleEntry> ParseRules(std::string_view bytes);
std::vector<RuleEntry> ParseRules(std::string_view bytes, RuleBudget& budget);
// The program's own rules: the same, and BrowserDatabase keys are read too.
std::vector<RuleEntry> ParseBuiltInRules(std::string_view bytes);

// Adds the entries to `into`; one whose name equals (ignoring case) an entry already
// there replaces it in place.
void MergeRules(std::vector<RuleEntry>& into, std::vector<RuleEntry>&& entries);

// The category shown for the entry: Section=, the name of a known LangSecRef, or "Other".
std::string RuleCategory(const RuleEntry& entry);

// "HIVE\key|value" split at the first "|"; the key keeps its hive as written.
RuleRegKey ParseRegKey(std::string_view text);

#pragma once
// What the console program was asked to do, read from its arguments, and the tables
// that say which commands and options there are. A new command or option is one more
// entry in its table.
//
// Usage:
//   CliParse parse = ParseArguments({"clean", "--level", "basic"});
//   if (!parse.error.empty()) ...                       // a usage error: exit 2
//   RunOptions options = RunOptionsFor(*parse.request, ReadRunOptions(store));
#include "engine/rules/RuleFile.h"
#include "engine/core/RunOptions.h"

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

struct CliRequest;

// Exit codes.
inline constexpr int kExitDone = 0;       // everything listed was removed (or would be)
inline constexpr int kExitIncomplete = 1; // something failed, or waits for the next log-on
inline constexpr int kExitUsage = 2;      // an unknown command or option
inline constexpr int kExitStopped = 3;    // stopped by Ctrl+C or Ctrl+Break

struct CliCommand {
    const char* name;
    const char* summary;
    int (*run)(const CliRequest& request);
    bool takesOperands = false; // the words after the command (drives, say) are its own
};

struct CliOption {
    const char* name;  // "--level"
    const char* value; // what follows it in the usage, nullptr when it takes no value
    const char* summary;
    // Records the option in the request; returns a one-line message when the value is wrong.
    std::string (*apply)(CliRequest& request, const std::string& value);
};

struct CliRequest {
    const CliCommand* command = nullptr;
    bool help = false;
    bool version = false;
    bool json = false;
    std::optional<int> level;                                  // a level's slider position
    std::vector<std::pair<bool OptionSwitches::*, bool>> sets; // in the order given
    std::optional<std::vector<std::string>> rules;             // each --rules value, in the order given
    bool acceptWarnings = false;                               // the entries --rules names may carry a Warning
    std::vector<std::string> keep;                             // each --keep site, normalised
    std::vector<std::string> operands;                         // the words after a command that takes them
};

// The entries that --rules names, and the names that match none.
struct RuleNames {
    std::vector<std::string> found; // as the entries spell them
    std::vector<std::string> unknown;
};

struct CliParse {
    std::optional<CliRequest> request;
    std::string error; // one line; empty when the arguments were understood
};

std::span<const CliCommand> CliCommands();
std::span<const CliOption> CliOptions();

CliParse ParseArguments(const std::vector<std::string>& arguments);

// The switches a run uses: the stored ones, then the level's preset, then each --set;
// and the rule entries given by --rules in place of the stored choice. With --rules and
// no --level only those entries run. The --keep sites join the stored keep list; a stored
// list that could not be read stays without a value.
RunOptions RunOptionsFor(const CliRequest& request, RunOptions stored);

// The chosen rule entries a console run may use. The window asks before an entry with a
// Warning is chosen; here nobody is asked, so such an entry runs only when --rules names it
// and --accept-warnings is given. `chosen` is the run's list once --rules is resolved; the
// names left out are added to `skipped`.
std::vector<std::string> RulesAllowedToRun(const CliRequest& request, const std::vector<std::string>& chosen,
                                           const std::vector<RuleEntry>& entries, std::vector<std::string>& skipped);

// The --rules values against the names of the entries known: a value that is an entry's
// whole name stands for it; any other value lists names separated by commas.
RuleNames ResolveRuleNames(const std::vector<std::string>& given, const std::vector<std::string>& known);

// The usage text, from the tables.
std::string UsageText();

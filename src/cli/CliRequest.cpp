#include "cli/CliRequest.h"

#include "engine/browsers/KeepList.h"
#include "engine/rules/RuleSources.h"
#include "settings/LevelLogic.h"
#include "sys/NameCase.h"
#include "sys/TextFormat.h"

#include <algorithm>

namespace {

bool IsLevelName(const std::string& name)
{
    // LevelFromName reads any other name as Standard; a typing error must not clean at a level nobody chose.
    const std::string lowered = Lowered(name);
    return lowered == "thorough" || lowered == "standard" || lowered == "basic";
}

std::string ApplyLevelOption(CliRequest& request, const std::string& value)
{
    if (!IsLevelName(value))
        return "unknown level '" + value + "' (thorough, standard or basic)";
    request.level = LevelFromName(value);
    return {};
}

std::string ApplySetOption(CliRequest& request, const std::string& value)
{
    const std::size_t equals = value.find('=');
    const std::string name = value.substr(0, equals);
    const std::string setting = equals == std::string::npos ? "" : value.substr(equals + 1);
    if (setting != "0" && setting != "1")
        return "--set takes NAME=0 or NAME=1, not '" + value + "'";
    for (const auto& [switchName, member] : kSwitches) {
        if (SameIgnoringAsciiCase(name, switchName)) {
            request.sets.emplace_back(member, setting == "1");
            return {};
        }
    }
    return "unknown switch '" + name + "'";
}

std::string ApplyRulesOption(CliRequest& request, const std::string& value)
{
    if (value.empty())
        return "--rules needs an entry name";
    if (!request.rules)
        request.rules.emplace();
    request.rules->push_back(value);
    return {};
}

std::string ApplyKeepOption(CliRequest& request, const std::string& value)
{
    const std::optional<std::string> site = NormalisedSite(value);
    if (!site)
        return "--keep: '" + value + "' names no site";
    request.keep.push_back(*site);
    return {};
}

// "-h", "/?", "/HELP": the help as Windows programs take it.
bool IsHelpSwitch(const std::string& argument)
{
    if (argument.empty() || (argument[0] != '-' && argument[0] != '/'))
        return false;
    const std::string name = Lowered(argument.substr(1));
    return name == "h" || name == "?" || name == "help";
}

// The names in "A, B,C", blanks around each dropped, empty ones left out.
std::vector<std::string> SplitAtCommas(const std::string& text)
{
    std::vector<std::string> names;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, comma - start);
        if (const std::size_t first = part.find_first_not_of(' '); first != std::string::npos)
            names.push_back(part.substr(first, part.find_last_not_of(' ') - first + 1));
        start = comma + 1;
    }
    return names;
}

} // namespace

std::span<const CliOption> CliOptions()
{
    static const CliOption options[] = {
        {"--level", "thorough|standard|basic", "use that level's switches instead of the stored ones",
         ApplyLevelOption},
        {"--set", "NAME=0|1", "turn one switch off or on (may be repeated)", ApplySetOption},
        {"--rules", "NAME[,NAME...]", "run only these rule entries (may be repeated)", ApplyRulesOption},
        {"--keep", "SITE", "keep this site's cookies and site data too, for this run (may be repeated)",
         ApplyKeepOption},
        {"--accept-warnings", nullptr, "run the entries --rules names even when they carry a warning",
         [](CliRequest& request, const std::string&) {
             request.acceptWarnings = true;
             return std::string();
         }},
        {"--json", nullptr, "one JSON object a line, then a summary object",
         [](CliRequest& request, const std::string&) {
             request.json = true;
             return std::string();
         }},
        {"--help", nullptr, "show this text (also -h or /?)",
         [](CliRequest& request, const std::string&) {
             request.help = true;
             return std::string();
         }},
        {"--version", nullptr, "show the version",
         [](CliRequest& request, const std::string&) {
             request.version = true;
             return std::string();
         }},
    };
    return options;
}

CliParse ParseArguments(const std::vector<std::string>& arguments)
{
    CliRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (IsHelpSwitch(argument)) {
            request.help = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            if (request.command && request.command->takesOperands) {
                request.operands.push_back(argument);
                continue;
            }
            if (request.command)
                return {std::nullopt, "unexpected argument '" + argument + "'"};
            for (const CliCommand& command : CliCommands()) {
                if (argument == command.name)
                    request.command = &command;
            }
            if (!request.command)
                return {std::nullopt, "unknown command '" + argument + "'"};
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const CliOption* option = nullptr;
        for (const CliOption& candidate : CliOptions()) {
            if (name == candidate.name)
                option = &candidate;
        }
        if (!option)
            return {std::nullopt, "unknown option '" + name + "'"};
        std::string value;
        if (option->value && equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (option->value) {
            if (i + 1 == arguments.size())
                return {std::nullopt, name + " needs a value: " + option->value};
            value = arguments[++i];
        } else if (equals != std::string::npos) {
            return {std::nullopt, name + " takes no value"};
        }
        if (std::string error = option->apply(request, value); !error.empty())
            return {std::nullopt, error};
    }
    if (!request.command && !request.help && !request.version)
        return {std::nullopt, "no command given"};
    return {request, {}};
}

RunOptions RunOptionsFor(const CliRequest& request, RunOptions stored)
{
    if (request.level)
        stored.switches = ApplyLevel(*request.level, stored.switches);
    for (const auto& [member, on] : request.sets)
        stored.switches.*member = on;
    if (request.rules) {
        stored.rules = *request.rules;
        stored.rulesOnly = !request.level;
    }
    for (const std::string& site : request.keep) {
        if (stored.keepSites &&
            std::find(stored.keepSites->begin(), stored.keepSites->end(), site) == stored.keepSites->end())
            stored.keepSites->push_back(site);
    }
    return stored;
}

std::vector<std::string> RulesAllowedToRun(const CliRequest& request, const std::vector<std::string>& chosen,
                                           const std::vector<RuleEntry>& entries, std::vector<std::string>& skipped)
{
    // With --rules the chosen names are the ones it gave, each resolved to its entry.
    const bool named = request.acceptWarnings && request.rules;
    std::vector<std::string> allowed;
    for (const std::string& name : chosen) {
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&](const RuleEntry& e) { return SameRuleName(e.name, name); });
        if (entry != entries.end() && !entry->warning.empty() && !named)
            skipped.push_back(name);
        else
            allowed.push_back(name);
    }
    return allowed;
}

RuleNames ResolveRuleNames(const std::vector<std::string>& given, const std::vector<std::string>& known)
{
    const auto knownName = [&](const std::string& name) -> const std::string* {
        const auto entry = std::find_if(known.begin(), known.end(),
                                        [&](const std::string& candidate) { return SameRuleName(candidate, name); });
        return entry == known.end() ? nullptr : &*entry;
    };
    RuleNames names;
    for (const std::string& value : given) {
        // A value that names an entry whole is that entry, commas and all.
        const std::vector<std::string> parts = knownName(value) ? std::vector{value} : SplitAtCommas(value);
        for (const std::string& part : parts) {
            if (const std::string* name = knownName(part))
                names.found.push_back(*name);
            else
                names.unknown.push_back(part);
        }
    }
    return names;
}

std::string UsageText()
{
    std::string text = "usage: purgix-cli COMMAND [OPTIONS]\n\ncommands:\n";
    for (const CliCommand& command : CliCommands())
        text += FormatText("  %-9s %s\n", command.name, command.summary);
    text += "\noptions:\n";
    for (const CliOption& option : CliOptions()) {
        const std::string form = option.value ? std::string(option.name) + " " + option.value : option.name;
        text += FormatText("  %-33s %s\n", form.c_str(), option.summary);
    }
    text += "\nswitches for --set:";
    for (const auto& [name, member] : kSwitches)
        text += std::string(" ") + name;
    text += "\n\nexit codes: 0 all removed, 1 something failed or waits for the next log-on, 2 usage error,\n"
            "3 stopped by Ctrl+C or Ctrl+Break\n";
    return text;
}

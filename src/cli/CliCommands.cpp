// The console program's commands: a preview or a clean through the engine, the levels,
// the rules and the sites to keep. Only `keep add` and `keep remove` write the settings store.
#include "cli/CliRequest.h"
#include "cli/ConsoleSink.h"
#include "cli/KeepCommand.h"
#include "cli/WipeFreeCommand.h"
#include "engine/run/CleaningEngine.h"
#include "engine/rules/RuleSources.h"
#include "settings/LevelLogic.h"
#include "settings/StoredRunOptions.h"
#include "sys/Console.h"
#include "sys/NameCase.h"

#include <chrono>
#include <optional>

namespace {

// The run's platform, without the start sound: a script runs unheard.
class CQuietPlatform : public CPlatformDecorator {
public:
    using CPlatformDecorator::CPlatformDecorator;
    void PlayStartSound() override {}
};

// The options a run or the rules list uses, with the --rules names as the entries spell
// them; nothing, and the names that match no entry on standard error, when one is unknown.
std::optional<RunOptions> OptionsFor(const CliRequest& request)
{
    RunOptions options = RunOptionsFor(request, ReadRunOptions(CSettingsStore::ReadOnly()));
    if (!request.rules)
        return options;
    std::vector<std::string> known;
    for (const RuleEntry& entry : LoadRuleEntries(Platform(), options.rulesFolder))
        known.push_back(entry.name);
    RuleNames names = ResolveRuleNames(*request.rules, known);
    if (!names.unknown.empty()) {
        std::string text = "purgix-cli: no rule entry named";
        for (const std::string& name : names.unknown)
            text += (&name == &names.unknown.front() ? " '" : ", '") + name + "'";
        CConsoleStream(ConsoleStreamId::Error).Write(text + " (see purgix-cli rules)\n");
        return std::nullopt;
    }
    options.rules = std::move(names.found);
    return options;
}

int RunCatalogue(const CliRequest& request, bool preview)
{
    std::optional<RunOptions> options = OptionsFor(request);
    if (!options)
        return kExitUsage;
    options->preview = preview;
    const CConsoleStream out(ConsoleStreamId::Output);
    const CConsoleStream err(ConsoleStreamId::Error);
    CConsoleSink sink(request.json, preview, out, err);
    CQuietPlatform sys(Platform());
    std::vector<std::string> skipped;
    if (!options->rules.empty())
        options->rules =
            RulesAllowedToRun(request, options->rules, LoadRuleEntries(sys, options->rulesFolder), skipped);
    for (const std::string& name : skipped)
        err.Write("purgix-cli: '" + name +
                  "' carries a warning and was skipped; name it in --rules with --accept-warnings\n");
    g_stopFlag = 0;
    OnConsoleInterrupt([] { g_stopFlag = 1; });
    const auto start = std::chrono::steady_clock::now();
    RunGuarded(sink, [&] {
        CCleaningEngine engine(sink, sys);
        engine.Run(*options);
    });
    sink.Finish(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return sink.ExitCode();
}

std::string SwitchesText(const OptionSwitches& switches)
{
    std::string text;
    for (const auto& [name, member] : kSwitches)
        text += std::string(text.empty() ? "" : " ") + name + "=" + (switches.*member ? "1" : "0");
    return text;
}

int ShowLevels(const CliRequest& request)
{
    const CConsoleStream out(ConsoleStreamId::Output);
    for (const int level : {kThorough, kStandard, kBasic}) {
        const std::string name = Lowered(LevelName(level));
        const OptionSwitches switches = ApplyLevel(level, {});
        out.Write((request.json ? LevelJson(name, switches) : name + "\t" + SwitchesText(switches)) + "\n");
    }
    // What a run without --level or --set uses, named as the window names it; with those
    // applied when given, named by the level the switches then match.
    const CSettingsStore store = CSettingsStore::ReadOnly();
    const OptionSwitches stored = RunOptionsFor(request, ReadRunOptions(store)).switches;
    const bool changed = request.level || !request.sets.empty();
    const std::string name = Lowered(LevelName(changed ? DeriveLevel(stored) : LoadOptions(store).position));
    out.Write((request.json ? InUseJson(name, stored) : "in use\t" + SwitchesText(stored) + " (" + name + ")") + "\n");
    return kExitDone;
}

// The rule entries found on this machine, one a line, those a run would use marked.
int ListRules(const CliRequest& request)
{
    const std::optional<RunOptions> options = OptionsFor(request);
    if (!options)
        return kExitUsage;
    const CConsoleStream out(ConsoleStreamId::Output);
    for (const FoundRule& rule : ListFoundRules(Platform(), options->rulesFolder, options->rules)) {
        out.Write((request.json ? RuleJson(rule)
                                : std::string(rule.ticked ? "[x] " : "[ ] ") + rule.name + "\t" + rule.category) +
                  "\n");
    }
    return kExitDone;
}

int KeepSites(const CliRequest& request)
{
    const bool changing = !request.operands.empty() && request.operands.front() != "list";
    const KeepOutcome outcome =
        EditKeepSites(request.operands, request.json, changing ? CSettingsStore() : CSettingsStore::ReadOnly());
    CConsoleStream(ConsoleStreamId::Output).Write(outcome.out);
    CConsoleStream(ConsoleStreamId::Error).Write(outcome.err);
    return outcome.exitCode;
}

const CliCommand kCommands[] = {
    {"preview", "list what a clean would remove, removing nothing",
     [](const CliRequest& request) { return RunCatalogue(request, true); }},
    {"clean", "remove it; files in use go at the next log-on",
     [](const CliRequest& request) { return RunCatalogue(request, false); }},
    {"levels", "show the cleaning levels and the switches a run would use", ShowLevels},
    {"rules", "list the rule entries found here; [x] marks those a run would use", ListRules},
    {"wipe-free", "[DRIVE...] overwrite the free space of these drives (or of every fixed one)", WipeFreeCommand, true},
    {"keep", "list|add SITE...|remove SITE...: the sites whose cookies and site data stay", KeepSites, true},
};

} // namespace

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}

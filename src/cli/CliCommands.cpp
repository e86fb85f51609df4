// The console program's commands: a preview or a clean through the engine, and the
// levels. Nothing here writes the settings store.
#include "cli/CliRequest.h"
#include "cli/ConsoleSink.h"
#include "engine/CleaningEngine.h"
#include "engine/RuleSources.h"
#include "sys/Console.h"
#include "sys/TextFormat.h"

#include <chrono>

namespace {

// The run's platform, without the start sound: a script runs unheard.
class CQuietPlatform : public CPlatformDecorator {
public:
    using CPlatformDecorator::CPlatformDecorator;
    void PlayStartSound() override {}
};

int RunCatalogue(const CliRequest& request, bool preview)
{
    RunOptions options = RunOptionsFor(request, ReadRunOptions(CSettingsStore::ReadOnly()));
    options.preview = preview;
    const CConsoleStream out(ConsoleStreamId::Output);
    const CConsoleStream err(ConsoleStreamId::Error);
    CConsoleSink sink(request.json, out, err);
    CQuietPlatform sys(Platform());
    std::vector<std::string> skipped;
    if (!options.rules.empty())
        options.rules = RulesAllowedToRun(request, options.rules, LoadRuleEntries(sys, options.rulesFolder), skipped);
    for (const std::string& name : skipped)
        err.Write("purgix-cli: '" + name +
                  "' carries a warning and was skipped; name it in --rules with --accept-warnings\n");
    g_stopFlag = 0;
    OnConsoleInterrupt([] { g_stopFlag = 1; });
    const auto start = std::chrono::steady_clock::now();
    RunGuarded(sink, [&] {
        CCleaningEngine engine(sink, sys);
        engine.Run(options);
    });
    sink.Finish(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return sink.ExitCode();
}

std::string SwitchesText(const OptionSwitches& switches)
{
    std::string text;
    for (const auto& [name, member] : kSwitchNames)
        text += std::string(text.empty() ? "" : " ") + name + "=" + (switches.*member ? "1" : "0");
    return text;
}

int ShowLevels(const CliRequest& request)
{
    const CConsoleStream out(ConsoleStreamId::Output);
    for (const int level : {kThorough, kStandard, kBasic})
        out.Write(Lowered(LevelName(level)) + "\t" + SwitchesText(ApplyLevel(level, {})) + "\n");
    // What a run without --level or --set uses, with those applied when given.
    const OptionSwitches stored = RunOptionsFor(request, ReadRunOptions(CSettingsStore::ReadOnly())).switches;
    out.Write("in use\t" + SwitchesText(stored) + " (" + Lowered(LevelName(DeriveLevel(stored))) + ")\n");
    return kExitDone;
}

// The rule entries found on this machine, one a line, those a run would use marked.
int ListRules(const CliRequest& request)
{
    const CConsoleStream out(ConsoleStreamId::Output);
    const RunOptions options = RunOptionsFor(request, ReadRunOptions(CSettingsStore::ReadOnly()));
    for (const FoundRule& rule : ListFoundRules(Platform(), options.rulesFolder, options.rules))
        out.Write(std::string(rule.ticked ? "[x] " : "[ ] ") + rule.name + "\t" + rule.category + "\n");
    return kExitDone;
}

const CliCommand kCommands[] = {
    {"preview", "list what a clean would remove, removing nothing",
     [](const CliRequest& request) { return RunCatalogue(request, true); }},
    {"clean", "remove it; files in use go at the next log-on",
     [](const CliRequest& request) { return RunCatalogue(request, false); }},
    {"levels", "show the cleaning levels and the switches a run would use", ShowLevels},
    {"rules", "list the rule entries found here; [x] marks those a run would use", ListRules},
};

} // namespace

std::span<const CliCommand> CliCommands()
{
    return kCommands;
}
